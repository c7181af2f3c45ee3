// Tab- and comma-separated text: separators, quoting, line numbers, the
// flash-card programs' header lines, and the quote that is never closed.
#include <gtest/gtest.h>

#include "content/DelimitedText.h"

namespace pw {
namespace {

using Fields = std::vector<std::u16string>;

struct Row {
    int line;
    Fields fields;
    bool operator==(const Row&) const = default;
};

std::vector<Row> rowsOf(const DelimitedTable& table) {
    std::vector<Row> rows;
    for (const DelimitedRow& row : table.rows) {
        rows.push_back({row.line, row.fields});
    }
    return rows;
}

void PrintTo(const Row& row, std::ostream* out) {
    *out << "line " << row.line << ":";
    for (const auto& field : row.fields) {
        *out << " [" << std::string(field.begin(), field.end()) << "]";
    }
}

TEST(DelimitedText, SeparatorsComeFromHeadersHintsOrTheFirstLine) {
    struct Case {
        std::u16string text;
        char16_t hint;
        char16_t separator;
    };
    const Case cases[] = {
        {u"a, b\tc", 0, u'\t'},                    // a tab wins over commas in sentences
        {u"a;b;c", 0, u';'},                       //
        {u"a,b,c", 0, u','},                       //
        {u"a,b;c,d", 0, u','},                     // more commas than semicolons
        {u"a;b,c", u',', u';'},                    // a tie goes to the semicolon
        {u"\"x\ty\",b", u',', u','},               // tabs inside quotes do not count
        {u"a,b\tc", u'\t', u'\t'},                 // a ".tsv" stays tab-separated
        {u"single", 0, u'\t'},                     // one column
        {u"#separator:Pipe\na|b", 0, u'|'},        // the header decides
        {u"#separator:comma\na\tb", u'\t', u','},  //
        {u"#separator:\t\na,b\tc", u',', u'\t'},   // a literal tab
        {u"#separator:Semicolon\na;b", 0, u';'},
    };
    for (const Case& c : cases) {
        DelimitedTable table;
        ASSERT_FALSE(readDelimitedText(c.text, c.hint, table));
        EXPECT_EQ(table.separator, c.separator) << std::string(c.text.begin(), c.text.end());
    }
    EXPECT_EQ(separatorForFileName("/x/pairs.TSV"), u'\t');
    EXPECT_EQ(separatorForFileName("notes.tab"), u'\t');
    EXPECT_EQ(separatorForFileName("lesson.csv"), u',');
    EXPECT_EQ(separatorForFileName("export.txt"), 0);
    EXPECT_EQ(separatorForFileName("dir.csv/file"), 0);
}

TEST(DelimitedText, QuotedFieldsHoldSeparatorsQuotesAndLineBreaks) {
    DelimitedTable table;
    const std::u16string text =
        u"\"She said \"\"hi\"\".\"\t\"A\ttab\"\tplain\r\n"
        u"\"Two\r\nlines\"\tafter\r\n"
        u"He said \"no\" twice.\t\"\"\r\n"
        u"\"Wait,\" she said.\tWarte.\r\n"
        u"\"open\"x\tnext\r\n"
        u"last\t\"end\"";
    ASSERT_FALSE(readDelimitedText(text, u'\t', table));
    const std::vector<Row> expected = {
        {1, {u"She said \"hi\".", u"A\ttab", u"plain"}},
        {2, {u"Two\r\nlines", u"after"}},
        // Quotes inside an unquoted field stay; "" alone is an empty field.
        {4, {u"He said \"no\" twice.", u""}},
        // A quote followed by more text: the field was never quoted.
        {5, {u"\"Wait,\" she said.", u"Warte."}},
        {6, {u"\"open\"x", u"next"}},
        {7, {u"last", u"end"}},
    };
    EXPECT_EQ(rowsOf(table), expected);
    EXPECT_EQ(table.columnCount, 3);
}

TEST(DelimitedText, LinesAreCountedOverEveryKindOfLineEndAndBlankRowsAreNoRows) {
    DelimitedTable table;
    ASSERT_FALSE(readDelimitedText(u"a,b\rc,d\n\n,,\r\n  ,\t\ne,\"f\rg\"\rh,i", u',', table));
    const std::vector<Row> expected = {
        {1, {u"a", u"b"}},
        {2, {u"c", u"d"}},
        {6, {u"e", u"f\rg"}},
        {8, {u"h", u"i"}},
    };
    EXPECT_EQ(rowsOf(table), expected);
}

TEST(DelimitedText, FlashCardHeadersAreReadAndAreNoRows) {
    DelimitedTable table;
    const std::u16string text =
        u"#separator:tab\n#html:false\n#guid column:1\n#tags column:4\n"
        u"#columns:Guid\tFront\tBack\tTags\n#deck:Words\n#notetype:Basic\n"
        u"g1\t<b>x</b>\ty\tt\n"
        u"#not a header\tbut a row\n";
    ASSERT_FALSE(readDelimitedText(text, 0, table));
    EXPECT_FALSE(table.html);
    EXPECT_EQ(table.columnNames, (Fields{u"Guid", u"Front", u"Back", u"Tags"}));
    EXPECT_EQ(table.bookkeepingColumns, (std::vector<int>{0, 3}));
    const std::vector<Row> expected = {
        {8, {u"g1", u"<b>x</b>", u"y", u"t"}},
        {9, {u"#not a header", u"but a row"}},
    };
    EXPECT_EQ(rowsOf(table), expected);

    // A line starting with "#" that is no header begins the rows.
    ASSERT_FALSE(readDelimitedText(u"#1 fan\tNummer-1-Fan\n", u'\t', table));
    EXPECT_TRUE(table.html);
    EXPECT_EQ(rowsOf(table), (std::vector<Row>{{1, {u"#1 fan", u"Nummer-1-Fan"}}}));
}

TEST(DelimitedText, AQuoteThatIsNeverClosedIsRefusedWhereItOpens) {
    struct Case {
        std::u16string text;
        int line;
    };
    const Case cases[] = {
        {u"one\tEins\n\"two\tZwei\nthree\tDrei\n", 2},
        {u"#html:true\r\na\tb\r\nc\t\"d\r\ne\r\n", 3},
        {u"\"", 1},
        {u"a\t\"b\"\"", 1},  // the doubled quote is a quote inside the field
    };
    for (const Case& c : cases) {
        DelimitedTable table;
        const auto error = readDelimitedText(c.text, u'\t', table);
        ASSERT_TRUE(error) << std::string(c.text.begin(), c.text.end());
        EXPECT_EQ(error->line, c.line);
        EXPECT_NE(error->message.find(u"never closed"), std::u16string::npos);
        EXPECT_TRUE(table.rows.empty());
    }
}

}  // namespace
}  // namespace pw
