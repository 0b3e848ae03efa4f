#include "log/TrialLog.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QLocale>
#include <optional>
#include <string>
#include <vector>

namespace orvane {
namespace {

class FixedClock : public LocalClock {
 public:
  LocalDateTime Now() const override { return now; }
  LocalDateTime now{2024, 3, 21, 14, 5, 9, 250};
};

// Each counter notes its writes in one shared journal, so their order shows.
class Counter : public ValueDisplay {
 public:
  Counter(std::string name, std::vector<std::string>& journal)
      : name_(std::move(name)), journal_(journal) {}
  double Value() const override { return value_; }
  void SetLabValue(double value) override {
    value_ = value;
    journal_.push_back(name_ + "=" + std::to_string(static_cast<int>(value)));
  }

 private:
  std::string name_;
  std::vector<std::string>& journal_;
  double value_ = 0;
};

class ListColours : public SongListHighlight {
 public:
  void SetBadListColour(Colour colour) override { bad = colour; }
  void SetGoodListColour(Colour colour) override { good = colour; }
  Colour bad = colours::kYellow;
  Colour good = colours::kYellow;
};

class FakeClipboard : public Clipboard {
 public:
  void SetText(std::string_view utf8) override {
    if (refusal) {
      throw ClipboardError(*refusal);
    }
    text = utf8;
  }
  std::string text = "before";
  std::optional<std::string> refusal;
};

const std::string kTitleLine = "Time\tSong\tEscaped\t\t\n\n";
const std::string kEmptyLine = "\t\t\t\t\n";

class TrialLogTest : public testing::Test {
 protected:
  TrialLogTest() { log.InitTrialLog(); }

  std::string Copy() {
    log.copyClick();
    return clipboard.text;
  }

  std::vector<std::string> journal;
  ReportTable table;
  ListColours lists;
  Counter bad_stay{"bad_stay", journal};
  Counter bad_escape{"bad_escape", journal};
  Counter good_stay{"good_stay", journal};
  Counter good_escape{"good_escape", journal};
  FakeClipboard clipboard;
  FixedClock clock;
  TrialLog log{{table, lists, bad_stay, bad_escape, good_stay, good_escape, clipboard, clock},
               TimeStampFormat(QLocale(QLocale::English, QLocale::UnitedKingdom))};
};

TEST_F(TrialLogTest, CopiesTheLogAsItGrowsAndAfterClear) {
  EXPECT_EQ(Copy(), kTitleLine + kEmptyLine + kEmptyLine + kEmptyLine + kEmptyLine);

  log.LogTrial(kNeutralSong, true);
  EXPECT_EQ(lists.bad, colours::kWhite);
  EXPECT_EQ(lists.good, colours::kWhite);
  EXPECT_EQ(good_stay.Value(), 1);
  EXPECT_EQ(table.GetNrRows(), 5);
  EXPECT_EQ(log.next_row(), 2);
  EXPECT_EQ(Copy(), kTitleLine + "21/03/2024 14:05:09\tgood\tNo\t\t\n" + kEmptyLine + kEmptyLine +
                        kEmptyLine + kEmptyLine);

  clock.now.second = 40;
  log.LogTrial(kBadSong, false);
  clock.now.second = 41;
  log.LogTrial(kBadSong, true);
  log.LogTrial(kNeutralSong, false);
  EXPECT_EQ(Copy(), kTitleLine + "21/03/2024 14:05:09\tgood\tNo\t\t\n" +
                        "21/03/2024 14:05:40\tbad\tYes\t\t\n" +
                        "21/03/2024 14:05:41\tbad\tNo\t\t\n" +
                        "21/03/2024 14:05:41\tgood\tYes\t\t\n" + kEmptyLine + kEmptyLine +
                        kEmptyLine + kEmptyLine);
  EXPECT_EQ(journal, (std::vector<std::string>{"good_stay=1", "bad_escape=1", "bad_stay=1",
                                               "good_escape=1"}));
  EXPECT_EQ(table.GetNrRows(), log.next_row() + 3);

  journal.clear();
  log.clearClick();
  EXPECT_EQ(journal, (std::vector<std::string>{"bad_stay=0", "bad_escape=0", "good_stay=0",
                                               "good_escape=0"}));
  EXPECT_EQ(log.next_row(), 1);
  EXPECT_EQ(Copy(), kTitleLine + kEmptyLine);
}

TEST_F(TrialLogTest, KindsOtherThanTheNeutralSongLogAsBadAndCountNothing) {
  log.LogTrial(0, true);
  log.LogTrial(3, false);
  EXPECT_EQ(table.GetElem(2, 1), "bad");
  EXPECT_EQ(table.GetElem(3, 2), "Yes");
  EXPECT_TRUE(journal.empty());
  EXPECT_EQ(log.next_row(), 3);
}

TEST_F(TrialLogTest, ATrialRunningThroughClearLandsInRowOneAndCountsFromZero) {
  log.LogTrial(kBadSong, true);
  log.LogTrial(kBadSong, true);
  log.clearClick();
  log.LogTrial(kBadSong, true);
  EXPECT_EQ(bad_stay.Value(), 1);
  EXPECT_EQ(table.GetElem(2, 1), "bad");
  EXPECT_EQ(table.GetNrRows(), 2);
  EXPECT_EQ(log.next_row(), 2);
  EXPECT_EQ(table.GetNrRows(), log.next_row()) << "one empty row below the trials after Clear";
}

TEST_F(TrialLogTest, ATrialAfterASortTakesTheNextFreeRowInInsertionOrder) {
  log.LogTrial(kNeutralSong, true);
  log.LogTrial(kBadSong, false);
  log.LogTrial(kNeutralSong, false);
  table.SortByColumn(2);
  ASSERT_EQ(table.GetDisplayedElem(2, 1), "good");
  table.MarkRow(2);

  log.LogTrial(kBadSong, true);
  EXPECT_EQ(table.Sort().column, 0);
  const std::vector<std::string> songs{"good", "bad", "good", "bad", "", "", "", ""};
  for (int position = 1; position <= 8; ++position) {
    EXPECT_EQ(table.GetDisplayedElem(2, position), songs[static_cast<std::size_t>(position - 1)])
        << "position " << position;
  }
  EXPECT_EQ(table.MarkedRow(), 2);
  EXPECT_EQ(log.next_row(), 5);
}

TEST_F(TrialLogTest, StampsTheFirstSecondOfADayWithTheDateAlone) {
  clock.now = LocalDateTime{2024, 3, 21, 0, 0, 0, 999};
  log.LogTrial(kNeutralSong, true);
  clock.now = LocalDateTime{2024, 3, 21, 0, 0, 1, 0};
  log.LogTrial(kNeutralSong, true);
  EXPECT_EQ(table.GetElem(1, 1), "21/03/2024");
  EXPECT_EQ(table.GetElem(1, 2), "21/03/2024 00:00:01");
}

TEST_F(TrialLogTest, ARefusedCopyReportsTheReasonAndLeavesEverythingAsItWas) {
  log.LogTrial(kNeutralSong, true);
  clipboard.refusal = "Access is denied";
  try {
    log.copyClick();
    FAIL() << "the copy should have failed";
  } catch (const std::exception& error) {
    EXPECT_STREQ(error.what(), "Cannot open clipboard: Access is denied");
  }
  EXPECT_EQ(clipboard.text, "before");
  EXPECT_EQ(table.GetNrRows(), 5);
  EXPECT_EQ(table.GetElem(2, 1), "good");
  EXPECT_EQ(log.next_row(), 2);
}

TEST(TrialLogStamp, AnOverlongRegionalFormatIsCutAtACharacterBoundary) {
  ReportTable table;
  ListColours lists;
  std::vector<std::string> journal;
  Counter a{"a", journal}, b{"b", journal}, c{"c", journal}, d{"d", journal};
  FakeClipboard clipboard;
  FixedClock clock;
  // "x" and 100 "é" (201 bytes), the date (10), a space, the time (8), then 41 more "é".
  const QString many_e(100, QChar(0xE9));
  const QString more_e(41, QChar(0xE9));
  TrialLog log({table, lists, a, b, c, d, clipboard, clock},
               TimeStampFormat(QLocale(QLocale::English, QLocale::UnitedKingdom),
                               "'x" + many_e + "'dd/MM/yyyy", "HH:mm:ss'" + more_e + "' t"));
  log.InitTrialLog();
  log.LogTrial(kNeutralSong, true);
  const std::string_view stamp = table.GetElem(1, 1);
  // 220 bytes, then 17 whole "é" end at 254; the 18th would straddle byte 255.
  EXPECT_EQ(stamp.size(), 254u);
  EXPECT_EQ(stamp.substr(201, 19), "21/03/2024 14:05:09");
  EXPECT_EQ(QString::fromUtf8(stamp.data(), static_cast<qsizetype>(stamp.size())).size(),
            1 + 100 + 19 + 17);
}

TEST(TimeStampFormat, KeepsHoursMinutesSecondsAndTheirOwnTextOnly) {
  EXPECT_EQ(TimeFieldsOnly("H:mm:ss (t)"), "H:mm:ss");
  EXPECT_EQ(TimeFieldsOnly("Bh:mm:ss [t]"), "h:mm:ss");  // a day period Qt cannot draw
  EXPECT_EQ(TimeFieldsOnly("h:mm:ss AP t"), "h:mm:ss AP");
  EXPECT_EQ(TimeFieldsOnly("t HH 'h' mm 'et' ss.zzz"), "HH 'h' mm 'et' ss");
  EXPECT_EQ(TimeFieldsOnly("HH:mm (t) ss"), "HH:mm ss");
}

// Every locale Qt knows: the short date, one space, and the long time with hours, minutes and
// seconds; nothing of the time zone or milliseconds is left.
TEST(TimeStampFormat, EveryLocaleStampsDateSpaceAndTimeOnly) {
  const QList<QLocale> locales =
      QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
  ASSERT_GT(locales.size(), 300);
  const QDate day(2024, 3, 21);
  for (const QLocale& locale : locales) {
    const QString stamp =
        QString::fromStdString(TimeStampFormat(locale).Format({2024, 3, 21, 14, 5, 9, 250}));
    SCOPED_TRACE((locale.name() + u' ' + stamp).toStdString());
    const QString date = locale.toString(day, locale.dateFormat(QLocale::ShortFormat));
    ASSERT_TRUE(stamp.startsWith(date + u' '));
    QString time = stamp.mid(date.size() + 1);

    QList<int> numbers;
    bool in_number = false;
    for (const char32_t c : time.toUcs4()) {
      if (QChar::isDigit(c)) {
        numbers << (in_number ? numbers.takeLast() * 10 : 0) + QChar::digitValue(c);
      }
      in_number = QChar::isDigit(c);
    }
    EXPECT_TRUE(numbers == QList<int>({14, 5, 9}) || numbers == QList<int>({2, 5, 9}))
        << "the time's numbers";

    for (const QString& marker : {locale.pmText(), locale.amText()}) {
      if (!marker.isEmpty()) {
        time.remove(marker, Qt::CaseInsensitive);
      }
    }
    time = time.trimmed();
    ASSERT_FALSE(time.isEmpty());
    const QList<char32_t> ends = {time.toUcs4().front(), time.toUcs4().back()};
    EXPECT_TRUE(QChar::isLetterOrNumber(ends[0]) && QChar::isLetterOrNumber(ends[1]))
        << "leftovers";
    for (const QChar c : QStringLiteral("()[]{},;+")) {
      EXPECT_FALSE(time.contains(c)) << "leftovers";
    }
    EXPECT_EQ(TimeStampFormat(locale).Format({2024, 3, 21, 0, 0, 0, 999}), date.toStdString())
        << "the first second of a day shows the date alone";
  }
}

}  // namespace
}  // namespace orvane
