// The recording reader and player against input that never ends and files
// that change between their passes: the reading stops within the line cap,
// and every pass that reads differently from the one before says so.
#include <gtest/gtest.h>

#include <sstream>

#include "recording_player.h"
#include "replay_reader.h"

namespace {

const std::string kHeader = "time,index,group,name,value,units,scaleMin,scaleMax,scaleDivisions\n";

std::string Row(const std::string &time, int index, const std::string &value) {
    return time + "," + std::to_string(index) + ",fan,KD fan," + value + ",RPM,0,7000,7\n";
}

// A stream of a given start, then one byte for ever; counts what is taken.
class EndlessBuffer : public std::streambuf {
  public:
    EndlessBuffer(std::string start, char fill) : start_(std::move(start)), fill_(fill) {}
    uint64_t taken = 0;

  protected:
    int_type underflow() override {
        if (gptr() < egptr()) {
            return traits_type::to_int_type(*gptr());
        }
        if (at_ < start_.size()) {
            chunk_ = start_.substr(at_, 4096);
            at_ += chunk_.size();
        } else {
            chunk_.assign(4096, fill_);
        }
        taken += chunk_.size();
        setg(&chunk_[0], &chunk_[0], &chunk_[0] + chunk_.size());
        return traits_type::to_int_type(*gptr());
    }

  private:
    std::string start_, chunk_;
    size_t at_ = 0;
    char fill_;
};

TEST(Recording, EndlessInputIsGivenUpWithinTheLineCap) {
    const std::string t = "2026-12-08T18:00:00.000";
    const std::string ok = kHeader + Row(t, 0, "900");
    const struct {
        const char *what;
        std::string start;
        char fill;
        bool recording;
        const char *error; // of the header, or why the rest cannot be read
    } cases[] = {
        {"zeros", "", '\0', false, "its first 65536 bytes hold no line that could be its header"},
        {"one endless line", "time,index", 'x', false, "its first 65536 bytes hold no line"},
        {"line ends only", "", '\n', false, "its first 65536 bytes hold no line"},
        {"zeros after a row", ok, '\0', true, "line 3 is longer than 65536 bytes, so the rest"},
        {"one endless field after a row", ok + t + ",1,fan,", 'n', true,
         "line 3 is longer than 65536 bytes"},
        {"endless commas", ok + t, ',', true, "line 3 is longer than 65536 bytes"},
        {"a quote that never closes", ok + t + ",1,fan,\"", '\n', true,
         "a quote opened on line 3 is not closed within 65536 bytes"},
        {"empty lines", ok, '\n', true, "from line 3 on, more than 65536 bytes hold no record"},
        {"CR LF empty lines", ok, '\r', true, "line 3 is longer than 65536 bytes"},
    };
    for (const auto &c : cases) {
        EndlessBuffer buffer(c.start, c.fill);
        std::istream in(&buffer);
        RecordingReader reader(in);
        std::string error;
        ASSERT_EQ(reader.ReadHeader(error), c.recording) << c.what << ": " << error;
        size_t snapshots = 0;
        for (RecordedSnapshot s; c.recording && reader.Next(s);) {
            ++snapshots;
        }
        const std::string why = c.recording ? reader.Findings().cutShort : error;
        EXPECT_NE(why.find(c.error), std::string::npos) << c.what << ": " << why;
        EXPECT_EQ(snapshots, c.recording ? 1u : 0u) << c.what << ": the row before is played";
        EXPECT_LT(buffer.taken, 80u * 1024) << c.what << ": read on past the cap";
        EXPECT_LT(why.size(), 300u) << c.what;
    }
}

// What a replay of texts gives: the first is the file as checked, the next
// what each open of the play finds (the last for ever; "" when it is gone).
struct Played {
    size_t frames = 0;
    std::vector<int64_t> holds;
    std::vector<std::string> news;
    PlayDamage damage;
    std::string cannotStart;
};

Played Play(const std::vector<std::string> &texts, bool loop, size_t most = 50) {
    std::istringstream checkedText(texts[0]);
    RecordingReader check(checkedText);
    std::string error;
    EXPECT_TRUE(check.ReadHeader(error)) << error;
    for (RecordedSnapshot s; check.Next(s);) {
    }
    size_t opened = 0;
    auto open = [&](std::string &why) -> std::unique_ptr<std::istream> {
        const std::string &text = texts[std::min(++opened, texts.size() - 1)];
        why = text.empty() ? "there is no such file" : "";
        return text.empty() ? nullptr : std::make_unique<std::istringstream>(text);
    };
    RecordingPlayer player(open, 1, loop, RecordOfPass(check.Findings(), check.BytesRead()));
    Played played;
    played.cannotStart = player.CannotStart();
    RecordedSnapshot snapshot;
    int64_t hold = 0;
    while (played.frames < most && player.Next(snapshot, hold)) {
        ++played.frames;
        played.holds.push_back(hold);
        for (const std::string &news : player.TakeNews()) {
            played.news.push_back(news);
        }
    }
    for (const std::string &news : player.TakeNews()) {
        played.news.push_back(news);
    }
    played.damage = player.Damage();
    return played;
}

TEST(Recording, APassThatReadsDifferentlyFromTheOneBeforeSaysHow) {
    std::string whole = kHeader, garbled = kHeader, bad = kHeader;
    for (int n = 0; n < 6; ++n) {
        const std::string t = "2026-12-08T18:00:0" + std::to_string(n) + ".000";
        whole += Row(t, 0, std::to_string(n));
        garbled += n == 3 ? "\x01garbage\x01garbage\x01garbage\x01garbage\x01garb\n"
                          : Row(t, 0, std::to_string(n));
        bad += n == 1 ? Row(t, 0, "oops") : Row(t, 0, std::to_string(n));
    }
    const std::string cut = whole.substr(0, whole.size() - 104); // two rows
    const std::string cutAfterBad = bad.substr(0, bad.size() - 104);
    const struct {
        const char *what;
        std::vector<std::string> texts;
        bool loop;
        size_t frames;
        size_t skipped;           // rows newly skipped in play
        const char *stoppedShort; // "" when the last pass ended whole
        const char *news;         // in one of the news; "" when none
    } cases[] = {
        {"unchanged", {whole}, false, 6, 0, "", ""},
        {"unchanged, its bad row known", {bad}, false, 6, 0, "", ""},
        {"unchanged, looped", {whole}, true, 50, 0, "", ""},
        {"cut while it played", {whole, cut}, false, 4, 0, "it was cut while it played", ""},
        {"cut after a known bad row",
         {bad, cutAfterBad},
         false,
         4,
         0,
         "it was cut while it played: it ends after",
         ""},
        {"a row overwritten with garbage",
         {whole, garbled},
         false,
         5,
         1,
         "",
         " line 5: 1 fields, where a row has 9; row skipped (the recording changed"},
        {"cut, looped: it plays on and says so once",
         {whole, cut},
         true,
         50,
         0,
         "",
         ": it was cut while it played: it ends after 275 bytes now, where 379 were read before; "
         "it plays again from its start"},
        {"removed, looped",
         {whole, whole, ""},
         true,
         6,
         0,
         "it cannot be opened any more: there is no such file",
         ""},
        {"removed, not looped",
         {whole, whole, ""},
         false,
         6,
         0,
         "it was removed while it played: it cannot be opened now (there is no such file)",
         ""},
        {"replaced by no recording, looped",
         {whole, whole, "MZ\x90\n"},
         true,
         6,
         0,
         "it is no kdhost --log recording any more: its first line should read time,index",
         ""},
        {"replaced by a header only, looped",
         {whole, whole, kHeader},
         true,
         6,
         0,
         "it holds no usable row any more",
         ""},
    };
    for (const auto &c : cases) {
        const Played played = Play(c.texts, c.loop);
        EXPECT_EQ(played.cannotStart, "") << c.what;
        EXPECT_EQ(played.frames, c.frames) << c.what;
        EXPECT_EQ(played.damage.skipped, c.skipped) << c.what;
        EXPECT_EQ(played.damage.stoppedShort.find(c.stoppedShort), 0u)
            << c.what << ": " << played.damage.stoppedShort;
        const bool changed = *c.stoppedShort || c.skipped > 0 || *c.news;
        EXPECT_EQ(played.damage.any, changed) << c.what;
        std::string news;
        for (const std::string &n : played.news) {
            news += n + "\n";
        }
        EXPECT_TRUE(*c.news ? news.find(c.news) != std::string::npos : news.empty())
            << c.what << ": " << news;
        if (*c.news) {
            EXPECT_EQ(news.find(c.news), news.rfind(c.news)) << c.what << ": said once";
        }
    }
    EXPECT_EQ(Play({whole, "nothing"}, false).cannotStart,
              "it is no kdhost --log recording any more: its first line should read "
              "time,index,group,name,value,units,scaleMin,scaleMax,scaleDivisions")
        << "changed between the check and the play";
}

TEST(Recording, APauseLongerThanKdhostRecordsIsShortened) {
    const struct {
        const char *what;
        std::string second;
        int64_t hold, shortened;
    } cases[] = {
        {"an hour", "2026-12-08T19:00:00.000", 3600000, 0},
        {"a day", "2026-12-09T18:00:00.000", 3600000, 86400000},
        {"the year 9999", "9999-12-31T23:59:59.999", 3600000, 251605547999999},
        {"back in time", "2026-12-08T17:00:00.000", 0, 0},
    };
    for (const auto &c : cases) {
        std::istringstream unused;
        const std::string text =
            kHeader + Row("2026-12-08T18:00:00.000", 0, "1") + Row(c.second, 0, "2");
        RecordingPlayer player(
            [text](std::string &) { return std::make_unique<std::istringstream>(text); }, 1, false);
        RecordedSnapshot snapshot;
        int64_t hold = 0;
        ASSERT_TRUE(player.Next(snapshot, hold)) << c.what;
        EXPECT_EQ(hold, c.hold) << c.what;
        EXPECT_EQ(player.ShortenedPauseMs(), c.shortened) << c.what;
        ASSERT_TRUE(player.Next(snapshot, hold)) << c.what;
        EXPECT_EQ(hold, std::min<int64_t>(c.hold, kLongestPauseMs))
            << c.what << ": the last stands as long as the gap before it";
    }
}

} // namespace
