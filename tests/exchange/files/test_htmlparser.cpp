#include "exchange/files/untHtmlpars2.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace quillary {
namespace {

// One line per item: "T:" text, "C:" comment, "S:" server script, "<" tag name with each
// parameter as " {name=value}".
std::string Describe(const THTMLEntry& entry) {
  if (const auto* text = std::get_if<THTMLText>(&entry))
    return "T:" + text->Text();
  if (const auto* comment = std::get_if<THTMLComment>(&entry))
    return "C:" + comment->Text();
  if (const auto* script = std::get_if<THTMLServerScript>(&entry))
    return "S:" + script->Text();
  const auto& tag = std::get<THTMLTag>(entry);
  std::string line = "<" + tag.Name.Text();
  for (const THTMLParam& param : tag.Params)
    line += " {" + param.Name.Text() + "=" + param.Value.Text() + "}";
  return line;
}

struct Parsed {
  std::vector<std::string> items;
  std::vector<std::string> errors; // "message|context"
};

Parsed ParseText(const std::string& input) {
  Parsed parsed;
  THTMLParser parser;
  parser.OnError = [&](const std::string& message, const std::string& context) {
    parsed.errors.push_back(message + "|" + context);
  };
  parser.Source = input;
  parser.Parse();
  for (const THTMLEntry& entry : parser.Items)
    parsed.items.push_back(Describe(entry));
  return parsed;
}

struct TokenizerCase {
  const char* input;
  std::vector<std::string> items;
  std::vector<std::string> errors;
};

const TokenizerCase kCases[] = {
    {"", {}, {}},
    // Without "<html", "<script" or "<body" the whole buffer is one text, markup included.
    {"x <b>y</b>", {"T:x <b>y</b>"}, {}},
    {"<HTML>x", {"<HTML", "T:x"}, {}},
    {"hello<body>", {"T:hello", "<body"}, {}},
    {"<body><b>bold</b></body>", {"<body", "<b", "T:bold", "</b", "</body"}, {}},
    {"<body>\r\n<p>", {"<body", "T:\r\n", "<p"}, {}},
    {"<body><>x</body>", {"<body", "T:x", "</body"}, {}},
    {"<body><a title='1>2'>t</a></body>", {"<body", "<a {title=1>2}", "T:t", "</a", "</body"}, {}},
    {"<body><a b=\"x'y\" c='q\"r'>", {"<body", "<a {b=x'y} {c=q\"r}"}, {}},
    {"<body><!-- a > b --></body>", {"<body", "C: a > b ", "</body"}, {}},
    {"<body><!-->x</body>", {"<body", "C:", "T:x", "</body"}, {}},
    {"<body><!-- end -->", {"<body", "C: end "}, {}},
    {"<body><%= v %></body>", {"<body", "S:= v ", "</body"}, {}},
    {"<body><script>if (a<b) c();</script></body>",
     {"<body", "<script", "T:if (a<b) c();", "</script", "</body"},
     {}},
    {"<body><script>a</SCRIPT>", {"<body", "<script", "T:a", "</SCRIPT"}, {}},
    {"<body><style>p>a{}</style>", {"<body", "<style", "T:p>a{}", "</style"}, {}},
    {"<body><SCRIPT>x", {"<body", "<SCRIPT"}, {"</script> not match|x"}},
    {"<body><style>", {"<body", "<style"}, {"</style> not match|"}},
    {"<body><a href='x></body>", {"<body"}, {"> not found|<a href='x></body>"}},
    // A backslash does not escape a quote.
    {"<body><a t='it\\'s'>", {"<body"}, {"> not found|<a t='it\\'s'>"}},
    {"<body><% x", {"<body"}, {"> not found|<% x"}},
    {"<body>x<", {"<body", "T:x"}, {"> not found|<"}},
    {"<body><a href='x'  >", {"<body", "<a {href=x}"}, {}},
    {"<body><input checked >", {"<body", "<input {checked=}"}, {}},
    {"<body><input checked disabled>", {"<body", "<input {checked disabled=}"}, {}},
    {"<body><H3 FOLDED ADD_DATE='1'>", {"<body", "<H3 {FOLDED ADD_DATE=1}"}, {}},
    {"<body><a ='x' b=1>", {"<body", "<a {b=1}"}, {"key not defined in tag|<a ='x' b=1>"}},
    {"<body><a HREF = 'x'>", {"<body", "<a {HREF=x}"}, {}},
    {"<body><a href=x y>", {"<body", "<a {href=x} {y=}"}, {}},
    // Each end loses a quote on its own; a value may be empty.
    {"<body><a t=\"x\"y u= >", {"<body", "<a {t=x\"y} {u=}"}, {}},
    {"<!DOCTYPE NETSCAPE-Bookmark-file-1><body>",
     {"<!DOCTYPE {NETSCAPE-Bookmark-file-1=}", "<body"},
     {}},
};

TEST(HtmlTokenizer, TableOfInputsGivesTheirItemsAndErrors) {
  for (const TokenizerCase& c : kCases) {
    SCOPED_TRACE(c.input);
    const Parsed parsed = ParseText(c.input);
    EXPECT_EQ(parsed.items, c.items);
    EXPECT_EQ(parsed.errors, c.errors);
  }
}

TEST(HtmlTokenizer, ItemsAreViewsIntoTheSource) {
  THTMLParser parser;
  parser.Source = "<body><a href='u'>name</a>";
  parser.Parse();
  ASSERT_EQ(parser.Items.size(), 4u);
  const auto& tag = std::get<THTMLTag>(parser.Items[1]);
  EXPECT_EQ(tag.Raw.Start, parser.Source.data() + 7);
  EXPECT_EQ(tag.Raw.Text(), "a href='u'");
  EXPECT_EQ(tag.OnError, nullptr);
  EXPECT_EQ(std::get<THTMLText>(parser.Items[2]).Start, parser.Source.data() + 18);
  EXPECT_EQ(THTMLItem().Text(), "");
  EXPECT_EQ(THTMLItem(parser.Source.data(), -3).Text(), "");
}

TEST(HtmlTokenizer, ParsingAgainFreesTheEarlierItems) {
  THTMLParser parser;
  parser.Source = "<body><script>";
  parser.Parse();
  parser.Source = "<body><b>x";
  parser.Parse();
  std::vector<std::string> items;
  for (const THTMLEntry& entry : parser.Items)
    items.push_back(Describe(entry));
  EXPECT_EQ(items, (std::vector<std::string>{"<body", "<b", "T:x"}));
}

// Random markup-heavy bytes: the parse must end, and every item must lie inside the buffer, in
// source order, without overlapping the one before.
TEST(HtmlTokenizer, AnyInputGivesOrderedItemsInsideTheBuffer) {
  const std::string alphabet = "<>!-%='\" \r\n\tabBODYscriptSTYLE/&;\x80\xff";
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE(round);
    THTMLParser parser;
    int reports = 0;
    parser.OnError = [&](const std::string&, const std::string&) { ++reports; };
    parser.Source = round % 2 ? "<body>" : "";
    const std::size_t length = random() % 400;
    for (std::size_t i = 0; i < length; ++i)
      parser.Source.push_back(alphabet[random() % alphabet.size()]);
    parser.Parse();
    const char* begin = parser.Source.data();
    const char* end = begin + parser.Source.size();
    const char* previousEnd = begin;
    for (const THTMLEntry& entry : parser.Items) {
      const THTMLItem& span = std::visit(
          [](const auto& item) -> const THTMLItem& {
            if constexpr (std::is_same_v<std::decay_t<decltype(item)>, THTMLTag>)
              return item.Raw;
            else
              return item;
          },
          entry);
      if (span.Length <= 0)
        continue;
      ASSERT_GE(span.Start, previousEnd);
      ASSERT_LE(span.Start + span.Length, end);
      previousEnd = span.Start + span.Length;
    }
  }
}

} // namespace
} // namespace quillary
