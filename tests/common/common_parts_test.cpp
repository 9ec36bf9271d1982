// What the three tools share, on its own: the one number grammar, the file
// layer over wide paths and its "\\?\" rule, the code pages, the message sink,
// deadlines and the settings file's words.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <iterator>

#include "code_pages.h"
#include "deadline.h"
#include "error_words.h"
#include "file_access.h"
#include "file_stream.h"
#include "number_reader.h"
#include "settings_words.h"
#include "terminal_text.h"
#include "support/file_text.h"
#include "support/plugin.h"
#include "support/plugin_copy.h"
#include "tool_messages.h"
#include "wide_path.h"

namespace {

const NumberRead kTaken = NumberRead::Taken, kNoNumber = NumberRead::NoNumber,
                 kOutOfRange = NumberRead::OutOfRange;

// Every reader against one table: what each makes of a text within bounds that
// let the grammar alone decide. Rows marked "fuzzing" come from findings.
TEST(NumberReader, OneGrammarForEveryNumber) {
    const struct Case {
        const char *what;
        std::string text;
        NumberRead digits, whole, decimal, hundredths;
        double value; // when taken
    } cases[] = {
        {"digits", "900", kTaken, kTaken, kTaken, kTaken, 900},
        {"leading zeros", "0042", kTaken, kTaken, kTaken, kTaken, 42},
        {"a minus sign", "-42", kNoNumber, kTaken, kTaken, kTaken, -42},
        {"minus zero", "-0", kNoNumber, kTaken, kTaken, kTaken, 0},
        {"a decimal", "45.25", kNoNumber, kNoNumber, kTaken, kTaken, 45.25},
        {"three decimals", "45.125", kNoNumber, kNoNumber, kTaken, kNoNumber, 45.125},
        {"a plus sign", "+5", kNoNumber, kNoNumber, kNoNumber, kNoNumber, 0},
        {"a space before", " 70", kNoNumber, kNoNumber, kNoNumber, kNoNumber, 0},
        {"a space after", "70 ", kNoNumber, kNoNumber, kNoNumber, kNoNumber, 0},
        {"hex", "0x1F", kNoNumber, kNoNumber, kNoNumber, kNoNumber, 0},
        {"an exponent", "1e3", kNoNumber, kNoNumber, kNoNumber, kNoNumber, 0},
        {"infinity", "inf", kNoNumber, kNoNumber, kNoNumber, kNoNumber, 0},
        {"not a number", "nan", kNoNumber, kNoNumber, kNoNumber, kNoNumber, 0},
        {"a point first", ".5", kNoNumber, kNoNumber, kNoNumber, kNoNumber, 0},
        {"a point last", "5.", kNoNumber, kNoNumber, kNoNumber, kNoNumber, 0},
        {"a sign alone", "-", kNoNumber, kNoNumber, kNoNumber, kNoNumber, 0},
        {"two signs", "--1", kNoNumber, kNoNumber, kNoNumber, kNoNumber, 0},
        {"empty", "", kNoNumber, kNoNumber, kNoNumber, kNoNumber, 0},
        {"a unit after", "10s", kNoNumber, kNoNumber, kNoNumber, kNoNumber, 0},
        {"fuzzing: digits, a NUL, more", std::string("12\0x", 4), kNoNumber, kNoNumber, kNoNumber,
         kNoNumber, 0},
        {"fuzzing: a NUL at the end", std::string("7\0", 2), kNoNumber, kNoNumber, kNoNumber,
         kNoNumber, 0},
        {"a digit of another script", "\xD9\xA3", kNoNumber, kNoNumber, kNoNumber, kNoNumber, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        uint64_t digits = 0;
        int64_t whole = 0, hundredths = 0;
        double decimal = 0;
        EXPECT_EQ(ReadDigits(c.text, UINT64_MAX, digits), c.digits);
        EXPECT_EQ(ReadWhole(c.text, INT64_MIN, INT64_MAX, whole), c.whole);
        EXPECT_EQ(ReadDecimal(c.text, -HUGE_VAL, HUGE_VAL, decimal), c.decimal);
        EXPECT_EQ(ReadScaled(c.text, 2, INT64_MIN, INT64_MAX, hundredths), c.hundredths);
        EXPECT_TRUE(c.digits != kTaken || double(digits) == c.value) << digits;
        EXPECT_TRUE(c.whole != kTaken || double(whole) == c.value) << whole;
        EXPECT_TRUE(c.decimal != kTaken || decimal == c.value) << decimal;
        EXPECT_TRUE(c.hundredths != kTaken || double(hundredths) == c.value * 100) << hundredths;
    }
}

// Bounds are inclusive, exact at the ends of 64 bits, and a number of the
// grammar past them is out of range rather than no number.
TEST(NumberReader, BoundsAreExact) {
    const struct Case {
        const char *what;
        const char *text;
        int64_t low, high;
        NumberRead whole;
    } cases[] = {
        {"the low bound", "10", 10, 3600000, kTaken},
        {"below it", "9", 10, 3600000, kOutOfRange},
        {"the high bound", "3600000", 10, 3600000, kTaken},
        {"above it", "3600001", 10, 3600000, kOutOfRange},
        {"2^53 + 1, which a double would read as 2^53", "9007199254740993", 0, INT64_MAX, kTaken},
        {"fuzzing: 2^63 - 1", "9223372036854775807", INT64_MIN, INT64_MAX, kTaken},
        {"2^63, which no int64 holds", "9223372036854775808", INT64_MIN, INT64_MAX, kOutOfRange},
        {"-2^63", "-9223372036854775808", INT64_MIN, INT64_MAX, kTaken},
        {"far past 64 bits", "99999999999999999999999999", INT64_MIN, INT64_MAX, kOutOfRange},
    };
    for (const Case &c : cases) {
        int64_t value = 0;
        EXPECT_EQ(ReadWhole(c.text, c.low, c.high, value), c.whole) << c.what;
        if (c.whole == kTaken) {
            EXPECT_EQ(std::to_string(value), c.text) << c.what;
        }
    }
    int64_t scaled = 0;
    EXPECT_EQ(ReadScaled("21474836.47", 2, -INT32_MAX, INT32_MAX, scaled), kTaken);
    EXPECT_EQ(scaled, INT32_MAX);
    EXPECT_EQ(ReadScaled("-21474836.48", 2, -INT32_MAX, INT32_MAX, scaled), kOutOfRange);
    EXPECT_EQ(ReadScaled("-2.5", 2, -INT32_MAX, INT32_MAX, scaled), kTaken);
    EXPECT_EQ(scaled, -250);
    EXPECT_EQ(ReadScaled("900.5", 0, -INT32_MAX, INT32_MAX, scaled), kNoNumber) << "no decimals";
    double decimal = 0;
    EXPECT_EQ(ReadDecimal("1" + std::string(400, '0'), -HUGE_VAL, HUGE_VAL, decimal), kOutOfRange);
    EXPECT_EQ(ReadDecimal("0.1", 0, 1e6, decimal), kTaken);
    EXPECT_EQ(decimal, 0.1) << "the nearest double, as the C library reads it";
}

// A scratch folder of the test's own, emptied and removed at the end.
class FileLayer : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(copy.ok());
        folder = copy.folder() + "\\";
    }
    void TearDown() override {
        for (const char *name : {"new.txt", "kept.txt", "large.txt", "sub\\inner.txt"}) {
            DeleteFileA((folder + name).c_str());
        }
        RemoveDirectoryA((folder + "sub").c_str());
    }
    PluginCopy copy{"file layer"};
    std::string folder;
};

TEST_F(FileLayer, AsksWhatAPathIsAndReadsIt) {
    const std::string pipe = "\\\\.\\pipe\\kd-file-layer-" + std::to_string(GetCurrentProcessId());
    HANDLE pipeServer = CreateNamedPipeA(pipe.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE,
                                         PIPE_UNLIMITED_INSTANCES, 0, 0, 0, nullptr);
    ASSERT_NE(pipeServer, INVALID_HANDLE_VALUE);
    WriteFileText(folder + "kept.txt", "line 1\r\nline 2");
    CreateDirectoryA((folder + "sub").c_str(), nullptr);
    WriteFileText(folder + "sub\\inner.txt", "");
    const struct {
        std::string path;
        PathKind kind;
    } kinds[] = {{folder + "kept.txt", PathKind::File},
                 {folder + "sub", PathKind::Folder},
                 {folder + "none.txt", PathKind::Missing},
                 {folder + "nowhere\\none.txt", PathKind::Missing},
                 {"NUL", PathKind::Device},
                 {"\\\\.\\NUL", PathKind::Device},
                 {"COM1", PathKind::Device},
                 {"Z:\\dev\\zero", PathKind::Device}, // Wine's GetFileType: a character device
                 {pipe, PathKind::Pipe}};
    for (const auto &k : kinds) {
        EXPECT_EQ(KindOfPath(k.path), k.kind) << k.path;
    }

    std::string bytes;
    DWORD error = 1;
    EXPECT_TRUE(ReadWholeFile(folder + "kept.txt", 100, bytes, error));
    EXPECT_EQ(bytes, "line 1\r\nline 2");
    EXPECT_FALSE(ReadWholeFile(folder + "kept.txt", 5, bytes, error)) << "larger than asked for";
    EXPECT_EQ(error, 0u);
    EXPECT_FALSE(ReadWholeFile(folder + "none.txt", 100, bytes, error));
    EXPECT_EQ(error, DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(ReadFileStart(folder + "kept.txt", 4, bytes));
    EXPECT_EQ(bytes, "line");
    // Nothing but a disk file is opened for reading or writing.
    for (const std::string &path : {std::string("NUL"), std::string("COM1"), pipe}) {
        SetLastError(0);
        EXPECT_EQ(OpenFile(path, FileAccess::Append), INVALID_HANDLE_VALUE) << path;
        EXPECT_EQ(GetLastError(), path == pipe ? kErrorIsPipe : kErrorIsDevice) << path;
        EXPECT_FALSE(ReadFileStart(path, 4, bytes)) << path;
    }
    CloseHandle(pipeServer);

    HANDLE file = OpenFile(folder + "kept.txt", FileAccess::Read);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    char part[6] = {};
    DWORD read = 0;
    EXPECT_TRUE(ReadAt(file, 8, part, sizeof part, read));
    EXPECT_EQ(std::string(part, read), "line 2") << "at an offset, to the end";
    CloseHandle(file);

    auto stream = OpenFileStream(folder + "kept.txt");
    ASSERT_TRUE(stream);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(*stream), {}), "line 1\r\nline 2");
    EXPECT_FALSE(OpenFileStream(folder + "none.txt"));

    std::vector<std::string> names;
    for (const FolderEntry &entry : ListFolder(folder)) {
        names.push_back(entry.name + (entry.folder ? "\\" : ""));
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"KelvoDyn.dll", "kept.txt", "sub\\"}));
}

TEST_F(FileLayer, WritesAWholeFileOrNone) {
    const struct {
        const char *what;
        std::string path;
        bool replace;
        WriteOutcome outcome;
        const char *why;
        const char *after; // the file's bytes afterwards; nullptr: no file
    } cases[] = {
        {"a new file", folder + "new.txt", false, WriteOutcome::Written, "", "written"},
        {"an existing one is kept", folder + "kept.txt", false, WriteOutcome::Exists, "", "old"},
        {"or replaced when asked", folder + "kept.txt", true, WriteOutcome::Written, "", "written"},
        {"a folder", folder + "sub", true, WriteOutcome::Failed, "it is a folder", nullptr},
        {"in no folder", folder + "nowhere\\new.txt", true, WriteOutcome::Failed,
         "there is no such folder", nullptr},
        {"a device", "NUL", true, WriteOutcome::Failed,
         "it is a device (such as NUL, COM1 or a console), not a file", nullptr},
    };
    CreateDirectoryA((folder + "sub").c_str(), nullptr);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        WriteFileText(folder + "kept.txt", "old");
        DeleteFileA((folder + "new.txt").c_str());
        std::string why;
        EXPECT_EQ(WriteReplacing(c.path, "written", c.replace, why), c.outcome);
        EXPECT_EQ(why, c.why);
        if (c.after != nullptr) {
            EXPECT_EQ(FileText(c.path), c.after);
        }
        for (const FolderEntry &entry : ListFolder(folder)) {
            EXPECT_EQ(entry.name.find(".tmp"), std::string::npos) << "left behind: " << entry.name;
        }
    }
}

// Codes in words; a number only inside a sentence that says it is unexpected.
TEST(ErrorWords, CodesInWords) {
    const struct {
        DWORD code;
        const char *words;
    } cases[] = {
        {ERROR_FILE_EXISTS, "a file of that name is there already"},
        {ERROR_ACCESS_DENIED, "access is denied"},
        {ERROR_PIPE_BUSY, "an unexpected system error (code 231)"},
        {kErrorIsDevice, "it is a device (such as NUL, COM1 or a console), not a file"},
        {kErrorIsPipe, "it is a pipe, not a file"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ErrorWords(c.code), c.words) << c.code;
    }
    EXPECT_EQ(FileErrorWords("COM1", ERROR_SUCCESS), ErrorWords(kErrorIsDevice));
}

// Past the 260 characters where the ANSI calls stop, through the "\\?\" prefix.
TEST(FileLayerLongPaths, ReachPastTheAnsiLimit) {
    LongPathCopy copy(300);
    ASSERT_TRUE(copy.ok());
    const std::string plugin = PlainAnsiPath(copy.path());
    ASSERT_GT(plugin.size(), size_t(MAX_PATH));
    const std::string path = plugin.substr(0, plugin.rfind('\\')) + "\\long.txt";
    EXPECT_EQ(KindOfPath(plugin), PathKind::File);
    std::string why, bytes;
    DWORD error = 0;
    EXPECT_EQ(WriteReplacing(path, "far down", false, why), WriteOutcome::Written) << why;
    EXPECT_TRUE(ReadWholeFile(path, 100, bytes, error));
    EXPECT_EQ(bytes, "far down");
    DeleteFileW(WidePath(path).c_str());
}

TEST(WidePaths, TheLongPathPrefixRule) {
    const struct {
        const wchar_t *path, *plain;
        bool prefixed;
    } cases[] = {
        {L"\\\\?\\C:\\a\\b", L"C:\\a\\b", true},
        {L"\\\\?\\UNC\\server\\share\\a", L"\\\\server\\share\\a", true},
        {L"C:\\a\\b", L"C:\\a\\b", false},
        {L"\\\\server\\share", L"\\\\server\\share", false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(HasLongPathPrefix(c.path), c.prefixed);
        EXPECT_EQ(WithoutLongPathPrefix(c.path), c.plain);
    }
    const std::string deep(300, 'd');
    EXPECT_EQ(WidePath("C:\\" + deep), L"\\\\?\\C:\\" + std::wstring(300, L'd'));
    EXPECT_EQ(WidePath("\\\\server\\" + deep), L"\\\\?\\UNC\\server\\" + std::wstring(300, L'd'));
    EXPECT_EQ(WidePath("C:\\short"), L"C:\\short") << "short paths stay as they are";
    EXPECT_EQ(PlainAnsiPath(WidePath("C:\\" + deep)), "C:\\" + deep);
}

// Run under a Western locale: the ANSI code page is Windows-1252.
TEST(CodePages, OneConversionEachWay) {
    ASSERT_EQ(GetACP(), 1252u);
    EXPECT_EQ(AnsiToUtf8("45 \xB0"
                         "C"),
              "45 \xC2\xB0"
              "C");
    const std::wstring cyrillic = L"\x042F\x0434 \x00FC";
    EXPECT_EQ(Narrow(cyrillic, CP_ACP), "?? \xFC") << "no best fit, a plain '?'";
    std::string exact;
    EXPECT_FALSE(NarrowExactly(cyrillic, CP_ACP, exact));
    EXPECT_TRUE(NarrowExactly(L"\x00FC", CP_ACP, exact));
    EXPECT_EQ(exact, "\xFC");
    EXPECT_EQ(Narrow(cyrillic, 1251), "\xDF\xE4 ?");
    EXPECT_EQ(WideToUtf8(Utf8ToWide("\xD0\xAF \xE2\x82\xAC")), "\xD0\xAF \xE2\x82\xAC");
    EXPECT_EQ(Widen("a \xFF", CP_UTF8), L"a \xFFFD") << "a byte that is no UTF-8";
}

TEST(ToolMessages, OneLineEscapedAsAWhole) {
    SetMessageTool(Tool::Monitor);
    const std::string reason = ": there is no such file";
    const std::string longPath = "C:\\" + std::string(1020, 'p');
    const struct {
        const char *what;
        std::string sentence, line;
    } cases[] = {
        {"plain", "stopped", "kdmonitor: stopped\n"},
        {"a terminal command", "a\x1b[2Jb\r\nc", "kdmonitor: a\\e[2Jb\\r\\nc\n"},
        {"escaped once only", "a\\e[2J", "kdmonitor: a\\e[2J\n"},
        {"bytes that are no UTF-8", "caf\xE9", "kdmonitor: caf\\xe9\n"},
        {"a long path keeps its reason", longPath + reason,
         "kdmonitor: " + longPath + reason + "\n"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(MessageLine(c.sentence), c.line) << c.what;
    }
    EXPECT_LT(MessageLine(std::string(100000, 'x')).size(), size_t(5000)) << "no flood";
    SetMessageTool(Tool::Host);
    EXPECT_EQ(MessageLine("x"), "kdhost: x\n");
}

TEST(PathText, EscapedAndCutInTheMiddleSoTheFileNameStays) {
    const size_t half = kPathChars / 2;
    const std::string start(half, 's'), end(half, 'e');
    const struct {
        const char *what;
        std::string path, shown;
    } cases[] = {
        {"a plain path", "C:\\Tools\\KelvoDyn.ini", "C:\\Tools\\KelvoDyn.ini"},
        {"control characters", "C:\\a\x1b]0;x\x07.ini", "C:\\a\\e]0;x\\a.ini"},
        {"exactly the limit", start + end, start + end},
        {"one past it", start + "x" + end, start + "..." + end},
        {"30000 characters", start + std::string(30000, 'x') + end, start + "..." + end},
        {"escapes are never split", std::string(kPathChars + 1, '\x01'),
         [] {
             std::string escaped;
             for (size_t i = 0; i < kPathChars / 2; ++i) {
                 escaped += "\\x01";
             }
             return escaped + "..." + escaped;
         }()},
        {"bytes that are no UTF-8", "caf\xE9.ini", "caf\\xe9.ini"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(PathText(c.path), c.shown) << c.what;
    }
    EXPECT_EQ(TerminalTextBothEnds("abcdefg", 4), "ab...fg");
    EXPECT_EQ(TerminalTextBothEnds("abcdefg", 3), "ab...g");
    EXPECT_EQ(TerminalTextBothEnds("abc", 0), "...");
}

TEST(Deadlines, WaitOnTheClockThatDoesNotWrap) {
    const Deadline never = DeadlineAfterSeconds(0);
    EXPECT_TRUE(never.never) << "0 seconds: until stopped";
    EXPECT_FALSE(Passed(never));
    EXPECT_EQ(WaitSlice(never), INFINITE);
    EXPECT_TRUE(Passed(DeadlineIn(0)));
    EXPECT_EQ(WaitSlice(DeadlineIn(0)), 0u);
    EXPECT_EQ(WaitSlice(DeadlineAt(0)), 0u) << "long past";
    const DWORD day = 24 * 60 * 60 * 1000;
    EXPECT_EQ(WaitSlice(DeadlineAfterSeconds(100.0 * 86400)), day) << "100 days, a day at a time";
    EXPECT_LE(WaitSlice(DeadlineIn(5000)), 5000u);

    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    EXPECT_FALSE(WaitForEventUntil(event, DeadlineIn(20))) << "the deadline comes first";
    SetEvent(event);
    EXPECT_TRUE(WaitForEventUntil(event, never)) << "the event comes first";
    CloseHandle(event);
    EXPECT_TRUE(WaitForEventUntil(nullptr, never)) << "no event to wait on ends the wait";
}

TEST(SettingsWords, FromThePluginsDefinitions) {
    EXPECT_EQ(SettingsSectionLine(), "[" SETTINGS_SECTION "]");
    EXPECT_EQ(KeyOf(SETTINGS_FAN_KEY, 2), "Fan2");
    EXPECT_EQ(KeyStem(SETTINGS_TEMPERATURE_KEY) + "32", KeyOf(SETTINGS_TEMPERATURE_KEY, 32));
    EXPECT_EQ(KeyStem(SETTINGS_TEMPERATURE_KEY).find('%'), std::string::npos);
    EXPECT_EQ(KeyWithWord(SETTINGS_FAN_NAME, "N"), "KD fan speed N");
    const std::vector<std::string> keys = SettingsKeys();
    ASSERT_EQ(keys.size(), 65u) << "UseFahrenheit and 32 of each group";
    EXPECT_EQ(keys.front(), "UseFahrenheit");
    EXPECT_EQ(keys[32], "Temperature32");
    EXPECT_EQ(keys.back(), "Fan32");
    EXPECT_EQ(std::string(YesWord()) + "/" + NoWord(), "yes/no");
    EXPECT_EQ(KnownWordsText(), "yes, 1, true, \xD0\xB4\xD0\xB0 or no, 0, false, "
                                "\xD0\xBD\xD0\xB5\xD1\x82");
}

} // namespace
