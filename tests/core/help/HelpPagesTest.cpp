// The help pages quote the program's own texts: messages, titles, labels. A page that quotes a
// text the program never shows misleads the user, so every quoted text is looked up among the
// string literals of the program's sources. In a page, a text in double quotes (outside tags)
// or inside <span class="msg">...</span> is a quoted program text; anything else a page wants to
// quote uses <tt> or typographic quotes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The string literals of one C++ source, as written between their quotes (escapes kept as
// typed, so a page's "\r\n" matches the source's). Comments and character literals are skipped;
// adjacent literals stay separate pieces.
void collectLiterals(const std::string& source, std::vector<std::string>& literals)
{
    size_t i = 0;
    const size_t n = source.size();
    while (i < n) {
        if (source.compare(i, 2, "//") == 0) {
            i = source.find('\n', i);
            if (i == std::string::npos)
                return;
        } else if (source.compare(i, 2, "/*") == 0) {
            i = source.find("*/", i + 2);
            if (i == std::string::npos)
                return;
            i += 2;
        } else if (source[i] == '\'') {
            ++i;
            while (i < n && source[i] != '\'')
                i += source[i] == '\\' ? 2 : 1;
            ++i;
        } else if (source.compare(i, 3, "R\"(") == 0) {
            size_t end = source.find(")\"", i + 3);
            if (end == std::string::npos)
                return;
            literals.push_back(source.substr(i + 3, end - i - 3));
            i = end + 2;
        } else if (source[i] == '"') {
            // Adjacent literals ("first part " "second part") are one text.
            std::string literal;
            while (i < n && source[i] == '"') {
                size_t start = ++i;
                while (i < n && source[i] != '"' && source[i] != '\n')
                    i += source[i] == '\\' ? 2 : 1;
                literal += source.substr(start, std::min(i, n) - start);
                size_t next = source.find_first_not_of(" \t\r\n", ++i);
                if (next != std::string::npos && source[next] == '"')
                    i = next;
            }
            literals.push_back(literal);
        } else {
            ++i;
        }
    }
}

std::vector<std::string> programLiterals(const fs::path& sourceRoot)
{
    std::vector<std::string> literals;
    for (const auto& entry : fs::recursive_directory_iterator(sourceRoot)) {
        const auto extension = entry.path().extension();
        if (entry.is_regular_file() && (extension == ".cpp" || extension == ".h"))
            collectLiterals(readFile(entry.path()), literals);
    }
    // Menu and button texts carry their mnemonic ("Capture and &Save..."); the user reads them without it.
    const size_t count = literals.size();
    for (size_t i = 0; i < count; ++i) {
        if (literals[i].find('&') == std::string::npos)
            continue;
        std::string shown;
        for (size_t at = 0; at < literals[i].size(); ++at) {
            if (literals[i][at] == '&' && at + 1 < literals[i].size() && literals[i][at + 1] == '&')
                shown += literals[i][++at];
            else if (literals[i][at] != '&')
                shown += literals[i][at];
        }
        literals.push_back(shown);
    }
    return literals;
}

std::string unescapeHtml(std::string text)
{
    static const std::pair<const char*, const char*> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&nbsp;", " "}, {"&amp;", "&"}};
    for (const auto& [entity, plain] : entities) {
        for (size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
            text.replace(at, std::char_traits<char>::length(entity), plain);
    }
    return text;
}

// The texts a page quotes: double-quoted runs of its text outside tags (a quote does not run
// past a tag or a line end, so "<i>address</i>" around a quote ends it), and span.msg contents.
std::vector<std::string> quotedTexts(const std::string& page)
{
    std::vector<std::string> quoted;
    const std::string spanOpen = "<span class=\"msg\">";
    for (size_t at = page.find(spanOpen); at != std::string::npos; at = page.find(spanOpen, at + 1)) {
        size_t start = at + spanOpen.size();
        size_t end = page.find("</span>", start);
        if (end != std::string::npos)
            quoted.push_back(unescapeHtml(page.substr(start, end - start)));
    }
    const size_t body = page.find("<body>");
    bool open = false;
    std::string current;
    for (size_t i = body == std::string::npos ? 0 : body; i < page.size(); ++i) {
        char c = page[i];
        if (c == '<') {
            size_t close = page.find('>', i);
            std::string tag = page.substr(i, close == std::string::npos ? 0 : close - i + 1);
            if (close == std::string::npos)
                break;
            // An example in <tt> is not the program's text: quotes inside it are not looked up.
            if (tag == "<tt>" && !open) {
                size_t end = page.find("</tt>", close);
                i = end == std::string::npos ? page.size() : end + 4;
                continue;
            }
            // Character markup inside a quote keeps the quote open; other tags end it.
            bool inline_markup = tag == "<tt>" || tag == "</tt>" || tag == "<b>" || tag == "</b>";
            if (!inline_markup) {
                open = false;
                current.clear();
            }
            i = close;
        } else if (c == '\n') {
            open = false;
            current.clear();
        } else if (c == '"') {
            if (open && !current.empty())
                quoted.push_back(unescapeHtml(current));
            open = !open;
            current.clear();
        } else if (open) {
            current += c;
        }
    }
    return quoted;
}

} // namespace

TEST(HelpPages, EveryQuotedTextIsOneOfTheProgramsOwnTexts)
{
    const fs::path root = VAULTLINE_SOURCE_DIR;
    const std::vector<std::string> literals = programLiterals(root / "src");
    ASSERT_GT(literals.size(), 500u) << "the program's sources were not found under " << root;

    size_t pages = 0;
    size_t checked = 0;
    for (const auto& entry : fs::directory_iterator(root / "resources" / "help")) {
        if (entry.path().extension() != ".html")
            continue;
        ++pages;
        for (const std::string& text : quotedTexts(readFile(entry.path()))) {
            ++checked;
            // A double quote inside a message is written \" in the source.
            std::string escaped;
            for (char c : text)
                escaped += c == '"' ? std::string("\\\"") : std::string(1, c);
            const bool found = std::any_of(literals.begin(), literals.end(), [&](const std::string& literal) {
                return literal.find(text) != std::string::npos || literal.find(escaped) != std::string::npos;
            });
            EXPECT_TRUE(found) << entry.path().filename().string() << " quotes \"" << text
                               << "\", which is no text of the program";
        }
    }
    EXPECT_GE(pages, 13u);
    EXPECT_GT(checked, 100u);
}

TEST(HelpPages, QuotesAreFoundInMarkupAsWrittenAndEscapesMatchTheSource)
{
    std::vector<std::string> literals;
    collectLiterals(
        "// \"not a literal\"\nconst char* a = \"Line one\\r\\n\"\n  \"and two\"; char q = '\"'; /* \"nor this\" */ "
        "auto b = R\"(raw \"text\")\";",
        literals);
    EXPECT_EQ(literals, (std::vector<std::string>{"Line one\\r\\nand two", "raw \"text\""}));

    auto texts = quotedTexts("<body><p title=\"attr\">Shows \"A &amp; B\" and <span class=\"msg\">x &lt; y</span>"
                             " then \"<i>not</i> closed\nand \"<tt>in</tt> tt\" but <tt>an \"example\"</tt></p>");
    EXPECT_EQ(texts, (std::vector<std::string>{"x < y", "A & B", "in tt"}));
}
