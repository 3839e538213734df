#include <gtest/gtest.h>

#include "IniDocument.h"

namespace {

using Platform::IniDocument;

IniDocument ParseOrFail(std::string_view text)
{
    IniDocument::ParseError error;
    auto document = IniDocument::Parse(text, &error);
    EXPECT_TRUE(document.has_value()) << "line " << error.line << ": " << error.reason;
    return document ? std::move(*document) : IniDocument();
}

TEST(IniDocumentTest, WritesReadableText)
{
    IniDocument document;
    ASSERT_TRUE(document.SetValue("CurrentSkinIndex", "2"));
    ASSERT_TRUE(document.SetValue("Paths/LastFolderPath", "/home/me/Presets"));
    ASSERT_TRUE(document.SetArrayItem("Paths/Recent", 0, "a.tpr"));
    ASSERT_TRUE(document.SetArrayItem("Paths/Recent", 1, ""));
    ASSERT_TRUE(document.SetValue("Window\\Placement\\Left", "10"));
    EXPECT_EQ(document.ToText({"Tarsel Preset Editor settings"}),
              "; Tarsel Preset Editor settings\n"
              "\n"
              "CurrentSkinIndex = 2\n"
              "\n"
              "[Paths]\n"
              "LastFolderPath = /home/me/Presets\n"
              "Recent[] = a.tpr\n"
              "Recent[] =\n"
              "\n"
              "[Window/Placement]\n"
              "Left = 10\n");
}

TEST(IniDocumentTest, EveryValueSurvivesARoundTrip)
{
    const std::string values[] = {
        "",
        "plain text",
        " leading and trailing blanks\t",
        "\"starts with a quote",
        "ends with a quote\"",
        "line one\nline two\r\n",
        "tab\there, bell\x07, delete\x7f",
        "C:\\Users\\me\\Presets; not a comment # either",
        "= [section] key = value",
        "Gr\xC3\xBC\xC3\x9F\x65 \xE6\x97\xA5\xE6\x9C\xAC",
        std::string(5000, 'x'),
    };
    IniDocument document;
    for (size_t i = 0; i < std::size(values); ++i) {
        ASSERT_TRUE(document.SetValue("S/Key" + std::to_string(i), values[i]));
        ASSERT_TRUE(document.SetArrayItem("S/List", i, values[i]));
    }
    const IniDocument reread = ParseOrFail(document.ToText());
    const auto* list = reread.GetArray("S/List");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->size(), std::size(values));
    for (size_t i = 0; i < std::size(values); ++i) {
        const std::string* value = reread.GetValue("S/Key" + std::to_string(i));
        ASSERT_NE(value, nullptr) << i;
        EXPECT_EQ(*value, values[i]) << i;
        EXPECT_EQ((*list)[i], values[i]) << i;
    }
}

TEST(IniDocumentTest, WhateverTheCommentsHoldTheTextReadsBack)
{
    struct Case {
        const char* name;
        std::vector<std::string> comments;
        std::string firstKey;
    };
    const Case cases[] = {
        {"line feed", {"Tarsel\nEditor settings"}, "Key"},
        {"carriage return and section", {"Tarsel", "1.0\r\n[broken"}, "Key"},
        {"control characters", {"a\x01\x7F\tb"}, "Key"},
        {"byte-order mark text in a comment", {"\xEF\xBB\xBFx"}, "\xEF\xBB\xBFKey"},
        {"key name starting with U+FEFF first", {}, "\xEF\xBB\xBFKey"},
        {"key name of U+FEFF twice", {}, "\xEF\xBB\xBF\xEF\xBB\xBFKey"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IniDocument document;
        ASSERT_TRUE(document.SetValue(c.firstKey, "1"));
        ASSERT_TRUE(document.SetValue("Paths/Last", "x"));
        const IniDocument back = ParseOrFail(document.ToText(c.comments));
        ASSERT_NE(back.GetKeyNameAt("", 0), nullptr);
        EXPECT_EQ(*back.GetKeyNameAt("", 0), c.firstKey);
        EXPECT_EQ(back.GetKeyCount(""), 1u);
        ASSERT_NE(back.GetValue("Paths/Last"), nullptr);
        EXPECT_EQ(*back.GetValue("Paths/Last"), "x");
    }
}

TEST(IniDocumentTest, ReadsHandWrittenFiles)
{
    const IniDocument document = ParseOrFail(
        "\xEF\xBB\xBF; written by hand\r\n"
        "# another comment\r\n"
        "Top=1\r\n"
        "\r\n"
        "  [ Paths ]  \r\n"
        "LastFolderPath   =   /tmp/x  \r\n"
        "Quoted = \"  kept  \"   \r\n"
        "Recent [] = one\r\n"
        "[other]\r\n"
        "k = v\r\n"
        "[PATHS]\r\n"
        "Recent[] = two");
    EXPECT_EQ(*document.GetValue("top"), "1");
    EXPECT_EQ(*document.GetValue("paths/lastfolderpath"), "/tmp/x");
    EXPECT_EQ(*document.GetValue("Paths\\Quoted"), "  kept  ");
    const auto* recent = document.GetArray("Paths/Recent");
    ASSERT_NE(recent, nullptr);
    EXPECT_EQ(*recent, (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(*document.GetValue("Other/K"), "v");
}

TEST(IniDocumentTest, ReportsTheLineThatCannotBeRead)
{
    struct Case {
        const char* text;
        int line;
        const char* reason;
    };
    const Case cases[] = {
        {"a = 1\n[Paths\nb = 2", 2, "section header without ']'"},
        {"[]\n", 1, "invalid section name"},
        {"[a//b]\n", 1, "invalid section name"},
        {"a = 1\n\njust some words\n", 3, "expected 'name = value'"},
        {" = value", 1, "invalid key name"},
        {"a/b = value", 1, "invalid key name"},
        {"k = \"open", 1, "missing closing quote"},
        {"k = \"closed\" trailing", 1, "text after the closing quote"},
        {"k = \"\\q\"", 1, "unknown escape \\q"},
        {"k = \"\\x4\"", 1, "bad \\x escape"},
        {"ok = 1\r\nk = \"x\\", 2, "missing closing quote"},
    };
    for (const auto& c : cases) {
        IniDocument::ParseError error;
        EXPECT_FALSE(IniDocument::Parse(c.text, &error).has_value()) << c.text;
        EXPECT_EQ(error.line, c.line) << c.text;
        EXPECT_EQ(error.reason, c.reason) << c.text;
    }
}

TEST(IniDocumentTest, RefusesNamesThatCannotBeWrittenBack)
{
    const char* bad[] = {"", "/Key", "Section/", "A//B", " Key", "Key ", "K=ey", "K[ey", "Ke]y",
                         ";Key", "#Key", "\"Key", "Ke\ny", "S/;x"};
    for (const char* path : bad) {
        IniDocument document;
        EXPECT_FALSE(document.SetValue(path, "v")) << path;
        EXPECT_FALSE(document.SetArrayCount(path, 1)) << path;
        EXPECT_FALSE(document.SetArrayItem(path, 0, "v")) << path;
        EXPECT_EQ(document.ToText(), "") << path;
    }
    IniDocument document;
    EXPECT_TRUE(document.SetValue("Section name/Key with blanks.and-dots", "v"));
    EXPECT_EQ(*document.GetValue("section NAME\\key WITH blanks.and-dots"), "v");
}

TEST(IniDocumentTest, ListsKeysInOrderAndFindsNodes)
{
    IniDocument document = ParseOrFail("r = 0\n[A/B]\nz = 1\ny = 2\nlist[] = x\n[C]\n");
    EXPECT_EQ(document.GetKeyCount(""), 1u);
    EXPECT_EQ(document.GetKeyCount("a\\b"), 2u);
    EXPECT_EQ(*document.GetKeyNameAt("A/B", 0), "z");
    EXPECT_EQ(*document.GetKeyNameAt("A/B", 1), "y");
    EXPECT_EQ(document.GetKeyNameAt("A/B", 2), nullptr);
    EXPECT_EQ(document.GetKeyCount("Missing"), 0u);
    for (const char* node : {"", "A", "A/B", "a\\b", "A/B/z", "A/B/list", "C", "r"}) {
        EXPECT_TRUE(document.HasNode(node)) << node;
    }
    for (const char* node : {"B", "A/B/x", "A/Bz", "Missing", "/"}) {
        EXPECT_FALSE(document.HasNode(node)) << node;
    }
    // An empty section is kept when the file is written again.
    EXPECT_TRUE(ParseOrFail(document.ToText()).HasNode("C"));
}

TEST(IniDocumentTest, ArraysGrowShrinkAndRemove)
{
    IniDocument document;
    EXPECT_EQ(document.GetArray("L"), nullptr);
    EXPECT_FALSE(document.SetArrayItem("L", 1, "gap"));
    EXPECT_TRUE(document.SetArrayItem("L", 0, "a"));
    EXPECT_TRUE(document.SetArrayItem("L", 1, "b"));
    EXPECT_TRUE(document.SetArrayItem("L", 0, "A"));
    EXPECT_TRUE(document.SetArrayCount("L", 4));
    EXPECT_EQ(*document.GetArray("L"), (std::vector<std::string>{"A", "b", "", ""}));
    EXPECT_TRUE(document.RemoveArrayItem("L", 1));
    EXPECT_FALSE(document.RemoveArrayItem("L", 3));
    EXPECT_EQ(*document.GetArray("L"), (std::vector<std::string>{"A", "", ""}));
    EXPECT_TRUE(document.SetArrayCount("L", 1));
    EXPECT_EQ(*document.GetArray("L"), (std::vector<std::string>{"A"}));
    // A key and an array may share a name.
    EXPECT_TRUE(document.SetValue("L", "key"));
    const IniDocument reread = ParseOrFail(document.ToText());
    EXPECT_EQ(*reread.GetValue("L"), "key");
    EXPECT_EQ(*reread.GetArray("L"), (std::vector<std::string>{"A"}));
}

}  // namespace
