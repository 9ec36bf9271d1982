// Fuzzes kdmonitor's recording reader three ways. The bytes as a recording: it
// must never crash, keep only a few short, escaped problems, publish at most 32
// of each group and play every snapshot it read, as no change when read again;
// cut while it plays, looped, it ends by itself saying why. The bytes as the recipe of a
// recording written by kdhost's own writers, some cells spoilt: every clean
// cell must read back exactly at its index, every spoilt one as no reading.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "csv_text.h"
#include "log_columns.h"
#include "number_text.h"
#include "recording_player.h"
#include "replay_reader.h"

namespace {

void Check(bool ok, const char *what) {
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

struct Bytes {
    const uint8_t *data;
    size_t size;
    size_t at = 0;
    uint8_t Next() {
        return at < size ? data[at++] : 0;
    }
};

void CheckFindings(const RecordingFindings &findings) {
    Check(findings.problems.size() <= kProblemsKept, "problems kept are bounded");
    Check(findings.skipped >= findings.problems.size(), "every problem is a skipped row");
    Check((findings.skipped == 0) == (findings.firstSkippedLine == 0), "the first skipped line");
    for (const std::string &problem : findings.problems) {
        Check(problem.size() < 400, "a problem quotes a short prefix only");
        for (unsigned char c : problem) {
            Check(c >= 0x20 && c != 0x7F, "a problem holds no control character");
        }
    }
}

// The bytes as they are.
void ReadAsRecording(const std::string &text) {
    std::istringstream in(text);
    RecordingReader reader(in);
    std::string error;
    size_t snapshots = 0;
    if (reader.ReadHeader(error)) {
        for (RecordedSnapshot s; reader.Next(s); ++snapshots) {
            Check(s.readings.temps.size() <= SENSOR_SLOTS && s.readings.fans.size() <= SENSOR_SLOTS,
                  "at most 32 of a group");
            Check(s.line > 1 && s.time.size() == 23, "a snapshot has its line and time");
        }
    }
    CheckFindings(reader.Findings());
    Check(reader.Findings().snapshots == snapshots, "every snapshot counted");
    Check(reader.BytesRead() <= text.size(), "no byte read twice");
    const PassRecord checked = RecordOfPass(reader.Findings(), reader.BytesRead());
    RecordingPlayer player(
        [&text](std::string &) { return std::make_unique<std::istringstream>(text); }, 1, false,
        checked);
    RecordedSnapshot snapshot;
    int64_t hold = 0;
    while (player.Next(snapshot, hold)) {
        Check(hold >= 0 && hold <= kLongestPauseMs, "a hold from none to the longest pause");
        Check(player.TakeNews().empty(), "the same bytes read again are no change");
    }
    Check(player.Played() == snapshots, "the player plays what the reader reads");
    Check(!player.Damage().any, "the same bytes read again are no damage");
}

// The bytes as a recording checked as it is and played cut at a point the
// bytes choose, looped: the play ends by itself, telling what it read less.
void PlayCutShort(const std::string &text) {
    std::istringstream in(text);
    RecordingReader reader(in);
    std::string error;
    if (!reader.ReadHeader(error)) {
        return;
    }
    for (RecordedSnapshot s; reader.Next(s);) {
    }
    if (reader.Findings().snapshots == 0) {
        return;
    }
    const size_t cut = text.empty() ? 0 : size_t(uint8_t(text.back())) * text.size() / 256;
    // A cut row may stand as a snapshot of its own: the cut file may hold more.
    std::istringstream cutIn(text.substr(0, cut));
    RecordingReader cutReader(cutIn);
    size_t cutSnapshots = 0;
    if (cutReader.ReadHeader(error)) {
        for (RecordedSnapshot s; cutReader.Next(s);) {
            ++cutSnapshots;
        }
    }
    size_t opened = 0;
    RecordingPlayer player(
        [&](std::string &why) -> std::unique_ptr<std::istream> {
            why = "gone";
            // The first play as checked, then cut, then gone.
            return opened++ == 0 ? std::make_unique<std::istringstream>(text)
                   : opened == 2 ? std::make_unique<std::istringstream>(text.substr(0, cut))
                                 : nullptr;
        },
        1, true, RecordOfPass(reader.Findings(), reader.BytesRead()));
    RecordedSnapshot snapshot;
    int64_t hold = 0;
    size_t frames = 0;
    while (player.Next(snapshot, hold)) {
        Check(++frames <= reader.Findings().snapshots + cutSnapshots, "the play ends by itself");
        for (const std::string &news : player.TakeNews()) {
            Check(news.size() < 500, "news is short");
            for (unsigned char c : news) {
                Check(c >= 0x20 && c != 0x7F, "news holds no control character");
            }
        }
    }
    Check(player.Damage().any && !player.Damage().stoppedShort.empty(),
          "a loop that cannot go on says why");
}

// The last is 4, a NUL byte and 5, which the row takes whole (all three bytes).
const char *const kSpoilt[] = {"oops", "1e3", "0x1A",  " 45",        "45 ", "nan",
                               "inf",  "+5",  "4.567", "9999999999", "-",   "4\0005"};

// The bytes as the recipe of a recording that kdhost's writers write.
void WriteAndReadBack(Bytes bytes) {
    std::string text = ColumnHeader(kColumnTime);
    std::vector<Readings> expected;
    size_t spoilt = 0;
    const int snapshots = 1 + bytes.Next() % 4;
    for (int n = 0; n < snapshots; ++n) {
        char time[32];
        std::snprintf(time, sizeof time, "2026-12-08T18:00:%02d.%03d", n, bytes.Next() % 1000);
        const int temps = bytes.Next() % 9, fans = bytes.Next() % 9;
        Readings want;
        std::vector<std::string> rows;
        for (int index = 0; index < temps + fans; ++index) {
            const bool fan = index >= temps;
            const int16_t raw = int16_t(bytes.Next() << 8 | bytes.Next());
            const uint8_t how = bytes.Next();
            std::string value =
                fan ? ResolutionText(float(raw), 0) : ResolutionText(float(raw) / 100.0f, 2);
            int32_t slot = raw;
            if (how >= 224) {
                const size_t pick = how % (sizeof kSpoilt / sizeof *kSpoilt);
                value = pick == 11 ? std::string(kSpoilt[pick], 3) : kSpoilt[pick];
                slot = kNoReadingSlot;
                ++spoilt;
            } else if (how >= 208) {
                value = "", slot = kNoReadingSlot; // no reading, as kdhost writes it
            }
            (fan ? want.fans : want.temps).push_back(slot);
            std::string name(1 + bytes.Next() % 6, 'a');
            for (char &c : name) {
                c = char(bytes.Next());
            }
            rows.push_back(CsvField(time) + "," + std::to_string(index) + "," +
                           (fan ? "fan" : "temperature") + "," + CsvField(name) + "," +
                           CsvField(value) + "," +
                           (fan       ? "RPM"
                            : how % 2 ? "\xC2\xB0"
                                        "F"
                                      : "\xC2\xB0"
                                        "C") +
                           ",0,150,6\n");
        }
        // Rows in any order: they are placed by their index.
        for (size_t i = rows.size(); i > 1; --i) {
            std::swap(rows[i - 1], rows[bytes.Next() % i]);
        }
        for (const std::string &row : rows) {
            text += row;
        }
        if (temps + fans > 0) {
            expected.push_back(want);
        }
    }
    std::istringstream in(text);
    RecordingReader reader(in);
    std::string error;
    Check(reader.ReadHeader(error), "the header kdhost writes is one");
    size_t n = 0;
    for (RecordedSnapshot s; reader.Next(s); ++n) {
        Check(n < expected.size(), "no snapshot more than written");
        Check(s.readings.temps == expected[n].temps, "temperatures at their index");
        Check(s.readings.fans == expected[n].fans, "fans at their index");
    }
    Check(n == expected.size(), "every snapshot read");
    Check(reader.Findings().skipped == spoilt, "every spoilt cell counted, nothing else");
    CheckFindings(reader.Findings());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    ReadAsRecording(std::string(reinterpret_cast<const char *>(data), size));
    PlayCutShort(std::string(reinterpret_cast<const char *>(data), size));
    WriteAndReadBack(Bytes{data, size});
    return 0;
}
