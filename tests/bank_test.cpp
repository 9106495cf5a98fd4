#include "bank/bank.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

// Bank lines split on CR LF byte by byte, without the toolkit, with every format problem found on
// the way named by its question line, so whoever edits questions.inc sees which line breaks what.
struct BankFormat {
    TextList lines;
    std::vector<std::string> problems;
};

constexpr std::size_t kMinLine = 25;
constexpr std::size_t kMaxLine = 194;

bool IsLead(unsigned char c) { return c >= 0x80; }

// The answer at the end of a line, or the empty Text when the line does not end in one.
Text AnswerOf(const Text& line) {
    for (const Text& word : {Text("正确"), Text("错误")}) {
        if (line.size() > word.size() && line.compare(line.size() - word.size(), word.size(), word) == 0) {
            return word;
        }
    }
    std::size_t letters = 0;
    while (letters < line.size() && line[line.size() - 1 - letters] >= 'A' &&
           line[line.size() - 1 - letters] <= 'D') {
        ++letters;
    }
    if (letters == 0 || letters > 4 || letters == line.size()) return Text();
    const Text answer = line.substr(line.size() - letters);
    if (!std::is_sorted(answer.begin(), answer.end()) ||
        std::adjacent_find(answer.begin(), answer.end()) != answer.end()) {
        return Text();
    }
    return answer;
}

void CheckLine(const Text& line, const std::function<void(const std::string&)>& report) {
    if (line.empty()) {
        report("blank line");
        return;
    }
    if (line.size() < kMinLine || line.size() > kMaxLine) {
        report("length " + std::to_string(line.size()) + " bytes, outside 25 to 194");
    }
    if (line.find_first_of("\r\n") != Text::npos) report("lone CR or LF");
    if (!IsLead(line[0])) report("does not start with a double-byte character");
    bool hasAscii = false;
    std::size_t lastChar = 0;
    for (std::size_t i = 0; i < line.size();) {
        lastChar = i;
        if (!IsLead(line[i])) {
            hasAscii = true;
            ++i;
            continue;
        }
        if (i + 1 == line.size()) {
            report("ends in a lone lead byte");
            break;
        }
        const auto trail = static_cast<unsigned char>(line[i + 1]);
        if (trail < 0xA1) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", trail);
            report("double-byte character at byte " + std::to_string(i + 1) + " has trail byte " +
                   hex + ", below 0xA1");
        }
        i += 2;
    }
    if (!hasAscii) report("no ASCII byte, so its own CR LF does not close it");
    const Text fullWidthSpace = "　";
    if (line[0] == ' ' || line[0] == '\t' || line.compare(0, 2, fullWidthSpace) == 0) {
        report("leading space or tab");
    }
    if (line.back() == ' ' || line.back() == '\t' || line.compare(lastChar, 2, fullWidthSpace) == 0) {
        report("trailing space or tab");
    }
    const Text answer = AnswerOf(line);
    if (answer.empty()) {
        report("does not end in an answer (1 to 4 of A B C D in order, 正确 or 错误)");
        return;
    }
    const Text stem = line.substr(0, line.size() - answer.size());
    const char stemEnd = stem.back();
    if (stemEnd == ' ' || stemEnd == '\t' ||
        (stem.size() >= 2 && stem.compare(stem.size() - 2, 2, fullWidthSpace) == 0)) {
        report("space or tab between stem and answer");
    }
}

BankFormat CheckBankFormat(const Text& bank) {
    BankFormat format;
    const bool opens = bank.compare(0, 2, "\r\n") == 0;
    const bool closes = bank.size() >= 4 && bank.compare(bank.size() - 4, 4, "\r\n\r\n") == 0;
    if (!opens) format.problems.push_back("the text does not begin with CR LF");
    if (!closes) format.problems.push_back("the text does not end with CR LF CR LF");
    if (bank.find('\0') != Text::npos) format.problems.push_back("the text holds a NUL byte");
    std::size_t pos = opens ? 2 : 0;
    const std::size_t bodyEnd = closes ? bank.size() - 2 : bank.size();
    for (int number = 1; pos < bodyEnd; ++number) {
        const auto report = [&](const std::string& rule) {
            format.problems.push_back("question line " + std::to_string(number) + ": " + rule);
        };
        std::size_t lineEnd = bank.find("\r\n", pos);
        if (lineEnd == Text::npos || lineEnd + 2 > bodyEnd) {
            lineEnd = bodyEnd;
            report("not followed by CR LF");
        }
        const Text line = bank.substr(pos, lineEnd - pos);
        CheckLine(line, report);
        format.lines.push_back(line);
        pos = lineEnd + 2;
    }
    return format;
}

std::string Joined(const std::vector<std::string>& problems) {
    std::string all;
    for (const auto& problem : problems) all += problem + "\n";
    return all;
}

Text BankOf(const TextList& lines) {
    Text bank = "\r\n";
    for (const Text& line : lines) bank += line + "\r\n";
    return bank + "\r\n";
}

TEST(BankFormat, SuppliedBankFollowsEveryRule) {
    const BankFormat format = CheckBankFormat(kBankText);
    EXPECT_TRUE(format.problems.empty()) << Joined(format.problems);
}

TEST(BankFormat, SuppliedBankFigures) {
    const BankFormat format = CheckBankFormat(kBankText);
    EXPECT_EQ(kBankText.size(), 4627u);
    std::size_t crlf = 0;
    for (std::size_t p = kBankText.find("\r\n"); p != Text::npos; p = kBankText.find("\r\n", p + 2)) ++crlf;
    EXPECT_EQ(crlf, 48u);
    ASSERT_EQ(format.lines.size(), 46u);

    std::size_t shortest = kBankText.size(), longest = 0;
    std::map<Text, int> answers;
    std::map<std::string, int> endings;
    int commaStems = 0;
    for (const Text& line : format.lines) {
        shortest = std::min(shortest, line.size());
        longest = std::max(longest, line.size());
        const Text answer = AnswerOf(line);
        ++answers[answer];
        const Text stem = line.substr(0, line.size() - answer.size());
        if (stem.find(',') != Text::npos) ++commaStems;
        const Text last = stem.substr(stem.size() - 2);
        const auto lead = static_cast<unsigned char>(last[0]);
        endings[last == "？" ? "？" : last == "。" ? "。" : lead >= 0xB0 && lead <= 0xF7 ? "hanzi" : last]++;
    }
    EXPECT_EQ(shortest, kMinLine);
    EXPECT_EQ(longest, kMaxLine);
    const std::map<Text, int> expectedAnswers = {
        {"A", 7},   {"B", 6},  {"C", 7},  {"D", 3},  {"AB", 3},     {"ABC", 6},   {"ABCD", 3},
        {"ABD", 1}, {"AC", 1}, {"ACD", 1}, {"BC", 1}, {"正确", 4}, {"错误", 3},
    };
    EXPECT_EQ(answers, expectedAnswers);
    const std::map<std::string, int> expectedEndings = {{"？", 44}, {"。", 1}, {"hanzi", 1}};
    EXPECT_EQ(endings, expectedEndings);
    EXPECT_EQ(commaStems, 42);
}

// The checker must name the line and the rule, or it is no help to whoever edits the bank.
TEST(BankFormat, NamesTheLineAndRuleBroken) {
    const Text good = "甲乙丙丁戊己庚辛壬癸,子丑寅卯？A";
    struct Case {
        const char* name;
        Text bank;
        std::string problem;
    };
    const Case cases[] = {
        {"too short", BankOf({good, "甲乙,丙？A"}), "question line 2: length 10 bytes, outside 25 to 194"},
        {"too long", BankOf({good, Text(180, 'x') + good}), "question line 2: length 212 bytes"},
        {"ASCII first", BankOf({good, "1" + good}), "question line 2: does not start with a double-byte"},
        {"low trail byte", BankOf({good, "甲乙\x81\x40" + good}),
         "question line 2: double-byte character at byte 5 has trail byte 0x40, below 0xA1"},
        {"lone LF", BankOf({good, "甲乙\n" + good}), "question line 2: lone CR or LF"},
        {"lone CR", BankOf({good, "甲乙\r" + good}), "question line 2: lone CR or LF"},
        {"leading space", BankOf({good, " " + good}), "question line 2: leading space or tab"},
        {"leading full-width space", BankOf({good, "　" + good}), "question line 2: leading space or tab"},
        {"trailing tab", BankOf({good, good + "\t"}), "question line 2: trailing space or tab"},
        {"no ASCII byte", BankOf({good, "甲乙丙丁戊己庚辛壬癸子丑寅卯？正确"}), "question line 2: no ASCII byte"},
        {"letters out of order", BankOf({good, "甲乙丙丁戊己庚辛壬癸,子丑寅卯？BA"}), "question line 2: does not end in an answer"},
        {"letter past D", BankOf({good, "甲乙丙丁戊己庚辛壬癸,子丑寅卯？E"}),
         "question line 2: does not end in an answer"},
        {"space before the answer", BankOf({good, "甲乙丙丁戊己庚辛壬癸,子丑寅卯？ A"}),
         "question line 2: space or tab between stem and answer"},
        {"blank line", BankOf({good, "", good}), "question line 2: blank line"},
        {"no leading CR LF", BankOf({good}).substr(2), "the text does not begin with CR LF"},
        {"no closing CR LF", BankOf({good}).substr(0, 36), "the text does not end with CR LF CR LF"},
        {"last line unterminated", "\r\n" + good + "\r\n" + good, "question line 2: not followed by CR LF"},
    };
    ASSERT_EQ(Joined(CheckBankFormat(BankOf({good, good})).problems), "");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::string> problems = CheckBankFormat(c.bank).problems;
        const bool named = std::any_of(problems.begin(), problems.end(), [&](const std::string& p) {
            return p.compare(0, c.problem.size(), c.problem) == 0;
        });
        EXPECT_TRUE(named) << "wanted: " << c.problem << "\ngot:\n" << Joined(problems);
    }
}

TEST(QuestionBankLoad, SuppliedBankGivesItsLines) {
    TextList bank;
    LoadQuestionBank(kBankText, bank);
    ASSERT_EQ(bank.size(), 46u);
    EXPECT_EQ(bank.front(),
              "生产经营单位的主要负责人对本单位的安全生产工作负有什么责任（Ａ、全面负责,Ｂ、部分负责,"
              "Ｃ、监督责任,Ｄ、不承担责任）？A");
    EXPECT_EQ(bank.back(), "判断：氧气瓶与乙炔瓶可以混放在同一库房内,只要保持通风即可。错误");
    EXPECT_EQ(bank, CheckBankFormat(kBankText).lines);
}

TEST(QuestionBankLoad, AppendsWithoutClearing) {
    TextList bank = {"旧"};
    LoadQuestionBank(kBankText, bank);
    LoadQuestionBank(kBankText, bank);
    ASSERT_EQ(bank.size(), 93u);
    EXPECT_EQ(bank[0], "旧");
    EXPECT_EQ(TextList(bank.begin() + 1, bank.begin() + 47), TextList(bank.begin() + 47, bank.end()));
}

TEST(QuestionBankLoad, FillsTheProgramWideListByDefault) {
    const std::size_t before = QuestionBank.size();
    LoadQuestionBank(kBankText);
    EXPECT_EQ(QuestionBank.size(), before + 46);
    QuestionBank.resize(before);
}

TEST(QuestionBankLoad, EdgesOfTheFormat) {
    struct Case {
        const char* name;
        Text text;
        TextList expected;
    };
    const Case cases[] = {
        {"each line closed by its own CR LF", "\r\n甲题,一？A\r\n乙题？BC\r\n\r\n", {"甲题,一？A", "乙题？BC"}},
        {"blank line joined to the next, CR LF in front", "\r\n甲题？A\r\n\r\n乙题？B\r\n\r\n",
         {"甲题？A", "\r\n乙题？B"}},
        {"line of spaces ends the loading", "\r\n甲题？A\r\n   \r\n乙题？B\r\n\r\n", {"甲题？A"}},
        {"spaces trimmed, tab kept", "\r\n 　甲题？A　 \r\n\t乙题？B\r\n\r\n", {"甲题？A", "\t乙题？B"}},
        {"line without an ASCII byte merged with the next", "\r\n甲题？A\r\n乙题？\r\n丙题？C\r\n\r\n",
         {"甲题？A", "乙题？\r\n丙题？C"}},
        {"first line lost without leading CR LF", "甲题？A\r\n乙题？B\r\n\r\n", {"乙题？B"}},
        {"last line without CR LF not loaded", "\r\n甲题？A\r\n乙题？B", {"甲题？A"}},
        {"empty text", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextList bank;
        LoadQuestionBank(c.text, bank);
        EXPECT_EQ(bank, c.expected);
    }
}

}  // namespace
