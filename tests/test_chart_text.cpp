// Spectrum lines, their entries in a file section, and the reading of a
// spectrum section back into the counts.
#include "Main/core/Cp1250.h"
#include "Main/core/NumberText.h"
#include "Main/core/ChartText.h"
#include "helpers/Failure.h"

#include <QElapsedTimer>
#include <QtTest>

#include <clocale>
#include <random>
#include <set>

namespace {

using Lines = std::vector<std::string>;
using Entries = std::vector<std::pair<std::string, std::string>>;

// The entries of a section as read back from the bytes of the file.
Entries EntriesOf(const ProfileFile &file, const std::string &section)
{
    const ProfileFile reread = ProfileFile::FromBytes(file.ToBytes());
    Entries entries;
    for (const std::string &key : reread.SectionKeys(section))
        entries.emplace_back(key, reread.ReadString(section, key, "?"));
    return entries;
}

SpectrumCounts Empty()
{
    SpectrumCounts c;
    c.fill(0.0);
    return c;
}

RoiBoxTexts Boxes(const char *x1, const char *x2, const char *brutto, const char *kozep)
{
    return RoiBoxTexts{x1, x2, brutto, kozep};
}

} // namespace

class TestSpectrumText : public QObject {
    Q_OBJECT

private slots:
    void anEmptySpectrumGivesFiveLines()
    {
        Lines lines{"#note"};
        SpectrumToLines(1, Empty(), Boxes("0", "0", "", ""), lines);
        QCOMPARE(lines, (Lines{"#note", "Spektrum:\t1", "ROI_Minimum:\t0", "ROI_Maximum:\t0",
                               "ROI_Brutto:\t", "ROI_Közép:\t"}));
        ProfileFile file;
        QVERIFY(WriteLinesToSection("Spectrum1", Lines(lines.begin() + 1, lines.end()), file));
        QCOMPARE(EntriesOf(file, "Spectrum1"),
                 (Entries{{"Spektrum", "1"}, {"ROI_Minimum", "0"}, {"ROI_Maximum", "0"},
                          {"ROI_Brutto", ""}, {"ROI_Közép", ""}}));
    }

    void otherPanelNumbersAppendNothing()
    {
        SpectrumCounts c = Empty();
        c[3] = 5;
        for (int panel : {0, 3, -1}) {
            Lines lines{"kept"};
            SpectrumToLines(panel, c, Boxes("1", "2", "3", "4"), lines);
            QCOMPARE(lines, Lines{"kept"});
        }
    }

    void channelLinesRoundLikePrintf()
    {
        SpectrumCounts c = Empty();
        c[0] = 1;
        c[17] = 42;
        c[18] = 2.5;         // a half goes to the even neighbour
        c[19] = 3.5;
        c[20] = 0.4;         // above 0, so written, as 0
        c[21] = -3;          // not written
        c[1000] = 123456789; // wider than 8 characters: not cut
        Lines lines;
        SpectrumToLines(2, c, Boxes("10", "30", "", ""), lines);
        QCOMPARE(lines.size(), size_t(5 + 6));
        QCOMPARE(Lines(lines.begin() + 5, lines.end()),
                 (Lines{"Ch0:        1", "Ch17:       42", "Ch18:        2", "Ch19:        4",
                        "Ch20:        0", "Ch1000: 123456789"}));
        QCOMPARE(lines[0], std::string("Spektrum:\t2"));
    }

    void theSpectrum2ExampleEntryByEntry()
    {
        SpectrumCounts c = Empty();
        c[17] = 42;
        c[18] = 3;
        Lines lines{"#Minta A"};
        SpectrumToLines(2, c, Boxes("10", "30", "", ""), lines);
        ProfileFile file;
        QVERIFY(WriteLinesToSection("Spectrum2", lines, file));
        QCOMPARE(EntriesOf(file, "Spectrum2"),
                 (Entries{{"REM0", "#Minta A"}, {"Spektrum", "2"}, {"ROI_Minimum", "10"},
                          {"ROI_Maximum", "30"}, {"ROI_Brutto", ""}, {"ROI_Közép", ""},
                          {"Ch17", "42"}, {"Ch18", "3"}}));
        QCOMPARE(file.ToBytes(), std::string("[Spectrum2]\r\nREM0=#Minta A\r\nSpektrum=2\r\n"
                                             "ROI_Minimum=10\r\nROI_Maximum=30\r\nROI_Brutto=\r\n"
                                             "ROI_K\xF6z\xE9p=\r\nCh17=42\r\nCh18=3\r\n"));
    }

    void noteLinesWithSeparatorsBecomeEntries()
    {
        ProfileFile file;
        QVERIFY(WriteLinesToSection("S", {"#Minta: A", "Minta: A", "k = v = w", "t: a=b", "x=1:2", "",
                                          "  plain  ", "\tTAB:\x01 v \x01"},
                                    file));
        // "x=1:2" splits at the ":" and its key "x=1" could not read back: kept whole.
        QCOMPARE(EntriesOf(file, "S"),
                 (Entries{{"#Minta", "A"}, {"Minta", "A"}, {"k", "v = w"}, {"t", "a=b"},
                          {"REM0", "x=1:2"}, {"REM1", ""}, {"REM2", "plain"}, {"TAB", "v"}}));
        // The REM entry holds the line unchanged; reading drops the blanks around it.
        QVERIFY(file.ToBytes().find("REM2=  plain  \r\n") != std::string::npos);
    }

    void aNoteLineIsOverwrittenInPlaceBySpectrumLines()
    {
        Lines lines{"Spektrum: 9", "second"};
        SpectrumToLines(1, Empty(), Boxes("0", "0", "", ""), lines);
        ProfileFile file;
        QVERIFY(WriteLinesToSection("Spectrum1", lines, file));
        QCOMPARE(EntriesOf(file, "Spectrum1"),
                 (Entries{{"Spektrum", "1"}, {"REM0", "second"}, {"ROI_Minimum", "0"},
                          {"ROI_Maximum", "0"}, {"ROI_Brutto", ""}, {"ROI_Közép", ""}}));
    }

    void remNumbersStartAgainForEachCall()
    {
        ProfileFile file;
        QVERIFY(WriteLinesToSection("A", {"one", "k: v", "two", "three"}, file));
        QVERIFY(WriteLinesToSection("B", {"four"}, file));
        QCOMPARE(EntriesOf(file, "A"),
                 (Entries{{"REM0", "one"}, {"k", "v"}, {"REM1", "two"}, {"REM2", "three"}}));
        QCOMPARE(EntriesOf(file, "B"), (Entries{{"REM0", "four"}}));
    }

    void linesThatCouldBreakTheFileAreKeptWhole()
    {
        ProfileFile file;
        QVERIFY(WriteLinesToSection("S", {":abc", "=x", " : ", "[Config]: Type=x", "[Spectrum1]=1",
                                          "; c: d", "last: 1"},
                                    file));
        const ProfileFile reread = ProfileFile::FromBytes(file.ToBytes());
        QCOMPARE(reread.SectionNames(), std::vector<std::string>{"S"});
        QCOMPARE(EntriesOf(file, "S"),
                 (Entries{{"REM0", ":abc"}, {"REM1", "=x"}, {"REM2", ":"}, {"REM3", "[Config]: Type=x"},
                          {"REM4", "[Spectrum1]=1"}, {"REM5", "; c: d"}, {"last", "1"}}));
        // A line holding a line break cannot be one entry: the write reports it.
        QVERIFY(!WriteLinesToSection("S", {"a: b\rc"}, file));
    }

    void readsASectionWithoutConvertingIt()
    {
        const ProfileFile file = ProfileFile::FromBytes(
            "[Spectrum1]\r\nSpektrum= 2 \r\nROI_Minimum=  10 \r\nROI_Maximum=\r\nROI_K\xF6z\xE9p=\t17.5000\r\n"
            "Ch20=3\r\nCH5=1\r\nch6=1\r\nChx=abc\r\nREM0=Ch1\r\nCh17=42\r\n");
        const SpectrumSectionText text = ReadSpectrumSection(file, "spectrum1");
        QCOMPARE(text.Spectrum, std::string("2"));
        QCOMPARE(text.Roi.X1, std::string("10"));
        QCOMPARE(text.Roi.X2, std::string("0"));     // empty
        QCOMPARE(text.Roi.Brutto, std::string("0")); // missing
        QCOMPARE(text.Roi.Kozep, std::string("17.5000"));
        QCOMPARE(text.Channels, (Entries{{"Ch20", "3"}, {"Chx", "abc"}, {"Ch17", "42"}}));

        const SpectrumSectionText none = ReadSpectrumSection(file, "Spectrum2");
        QCOMPARE(none.Spectrum, std::string("0"));
        QVERIFY(none.Channels.empty());
        int n = -1;
        QCOMPARE(FailureOf(ReadSpectrumNumber(none, n)), std::nullopt);
        QCOMPARE(n, 0);
    }

    void theSpectrumNumberChoosesTheChart()
    {
        SpectrumSectionText text;
        int n = -1;
        for (auto [value, expected] : {std::pair{"1", 1}, {"2", 2}, {"+2", 2}, {"3", 0}, {"-1", 0}, {"0", 0}}) {
            text.Spectrum = value;
            QCOMPARE(FailureOf(ReadSpectrumNumber(text, n)), std::nullopt);
            QCOMPARE(n, expected);
        }
        text.Spectrum = "";
        QCOMPARE(FailureOf(ReadSpectrumNumber(text, n)), std::optional<std::string>("„” nem érvényes szám."));
        text.Spectrum = "1.0";
        QCOMPARE(FailureOf(ReadSpectrumNumber(text, n)), std::optional<std::string>("„1.0” nem érvényes szám."));
    }

    void channelsReplaceTheSpectrum()
    {
        Spectra spectra;
        spectra.SetCount(1, 5, 99);
        spectra.SetCount(2, 7, 11);
        SpectrumSectionText text;
        text.Channels = {{"Ch17", "42"}, {"Ch-1", "junk"}, {"Ch1001", "junk"}, {"Ch1000", "1.5E2"},
                         {"Ch 0", " 3 "}};
        QCOMPARE(FailureOf(ApplyChannels(text, 1, spectra)), std::nullopt);
        SpectrumCounts expected = Empty();
        expected[17] = 42;
        expected[1000] = 150;
        expected[0] = 3;
        QCOMPARE(spectra.Counts(1), expected);
        QCOMPARE(spectra.Count(2, 7), 11.0); // the other spectrum is untouched
    }

    void anUnreadableNumberStopsAtThatEntry()
    {
        const struct {
            const char *key;
            const char *value;
            const char *message;
        } cases[] = {
            {"Ch", "5", "„” nem érvényes szám."},
            {"Chx", "5", "„x” nem érvényes szám."},
            {"Ch99999999999", "5", "„99999999999” nem érvényes szám."},
            {"Ch12", "0,005", "„0,005” nem érvényes szám."},
            {"Ch12", "", "„” nem érvényes szám."},
        };
        for (const auto &c : cases) {
            Spectra spectra;
            spectra.SetCount(1, 900, 1);
            SpectrumSectionText text;
            text.Channels = {{"Ch3", "7"}, {c.key, c.value}, {"Ch4", "8"}};
            QCOMPARE(FailureOf(ApplyChannels(text, 1, spectra)), std::optional<std::string>(c.message));
            QCOMPARE(spectra.Count(1, 900), 0.0); // cleared first
            QCOMPARE(spectra.Count(1, 3), 7.0);   // set before the failure: stays
            QCOMPARE(spectra.Count(1, 4), 0.0);   // after it: not reached
        }
    }

    void roiBoxesAreReadInOrder()
    {
        RoiData roi;
        QCOMPARE(FailureOf(ReadRoiBoxes(Boxes("600", "400", "7", "500.0000"), roi)), std::nullopt);
        QCOMPARE(roi.X1, 600);
        QCOMPARE(roi.X2, 400);
        QCOMPARE(roi.Brutto, 7);
        QCOMPARE(roi.Kozep, 500.0);

        RoiData partial;
        QCOMPARE(FailureOf(ReadRoiBoxes(Boxes("10", "12.5", "7", "1"), partial)),
                 std::optional<std::string>("„12.5” nem érvényes szám."));
        QCOMPARE(partial.X1, 10);
        QCOMPARE(partial.X2, 0);
        QCOMPARE(FailureOf(ReadRoiBoxes(Boxes("1", "2", "3", "1,5"), partial)),
                 std::optional<std::string>("„1,5” nem érvényes szám."));
    }

    void aSpectrumSurvivesTheFile()
    {
        Spectra spectra;
        std::mt19937 rng(7);
        for (int i = 0; i < 3000; ++i)
            spectra.AddCount(2, static_cast<int>(rng() % ChannelCount));
        Lines lines;
        SpectrumToLines(2, spectra.Counts(2), Boxes("400", "600", "1234", "  500.1234"), lines);
        ProfileFile file;
        QVERIFY(WriteLinesToSection("Spectrum2", lines, file));
        const ProfileFile reread = ProfileFile::FromBytes(file.ToBytes());

        const SpectrumSectionText text = ReadSpectrumSection(reread, "Spectrum2");
        int n = 0;
        QCOMPARE(FailureOf(ReadSpectrumNumber(text, n)), std::nullopt);
        QCOMPARE(n, 2);
        Spectra loaded;
        QCOMPARE(FailureOf(ApplyChannels(text, n, loaded)), std::nullopt);
        QCOMPARE(loaded.Counts(2), spectra.Counts(2));
        RoiData roi;
        QCOMPARE(FailureOf(ReadRoiBoxes(text.Roi, roi)), std::nullopt);
        QCOMPARE(roi.Kozep, 500.1234);
        QCOMPARE(text.Roi.Kozep, std::string("500.1234")); // stored without its leading blanks
    }

    void numbersUseAPointUnderTheHungarianLocale()
    {
        const std::string before = std::setlocale(LC_ALL, nullptr);
        // The system's name of the Hungarian locale: POSIX, then Windows' two spellings.
        const bool hungarian = std::setlocale(LC_ALL, "hu_HU.UTF-8") || std::setlocale(LC_ALL, "Hungarian_Hungary.1250")
                               || std::setlocale(LC_ALL, "hu-HU");
        QVERIFY2(hungarian, "no Hungarian locale is installed");
        QCOMPARE(std::string(std::localeconv()->decimal_point), std::string(","));
        SpectrumCounts c = Empty();
        c[5] = 1234.6;
        Lines lines;
        SpectrumToLines(1, c, Boxes("1", "2", "3", FormatKozep(17.5).c_str()), lines);
        ProfileFile file;
        const bool written = WriteLinesToSection("Spectrum1", lines, file);
        const SpectrumSectionText text = ReadSpectrumSection(ProfileFile::FromBytes(file.ToBytes()), "Spectrum1");
        Spectra loaded;
        const auto applied = FailureOf(ApplyChannels(text, 1, loaded));
        RoiData roi;
        const auto boxes = FailureOf(ReadRoiBoxes(text.Roi, roi));
        std::setlocale(LC_ALL, before.c_str());

        QVERIFY(written);
        QCOMPARE(lines.back(), std::string("Ch5:     1235"));
        QCOMPARE(text.Roi.Kozep, std::string("17.5000"));
        QCOMPARE(applied, std::nullopt);
        QCOMPARE(boxes, std::nullopt);
        QCOMPARE(loaded.Count(1, 5), 1235.0);
        QCOMPARE(roi.Kozep, 17.5);
    }

    void malformedSectionsNeverWriteOutsideASpectrum()
    {
        const std::vector<std::string> keys = {"Ch-1", "Ch1001", "Ch99999999999", "Ch", "Chx", "Ch 12",
                                               "Ch+7", "Ch0", "Ch1000", "Ch500", "CH3", "Ch2147483648",
                                               "Ch-2147483648", "Ch\x01", "Ch1e3", "Ch0x10"};
        const std::vector<std::string> values = {"1", "-5", "2.5", "abc", "", "1e400", "nan", "inf",
                                                 "0,5", "1E2", " 7 ", "\x81", "99999999999999999999"};
        std::mt19937 rng(1234);
        QElapsedTimer timer;
        timer.start();
        for (int round = 0; round < 400; ++round) {
            std::string bytes = "[Spectrum1]\r\n";
            const int count = static_cast<int>(rng() % 60);
            for (int i = 0; i < count; ++i) {
                switch (rng() % 4) {
                case 0: bytes += keys[rng() % keys.size()] + "=" + values[rng() % values.size()]; break;
                case 1: bytes += "Spektrum=" + values[rng() % values.size()]; break;
                case 2: bytes += "ROI_Minimum=" + values[rng() % values.size()]; break;
                default:
                    for (int k = static_cast<int>(rng() % 40); k > 0; --k)
                        bytes += static_cast<char>(rng());
                }
                bytes += (rng() % 3 == 0) ? "\n" : "\r\n";
            }
            if (round % 50 == 0)
                bytes += "Ch7=" + std::string(1 << 18, '9') + "\r\n[Spectrum1\r\nCh8=1";

            const ProfileFile file = ProfileFile::FromBytes(bytes);
            const SpectrumSectionText text = ReadSpectrumSection(file, "Spectrum1");
            int n = 0;
            (void)ReadSpectrumNumber(text, n);
            QVERIFY(n == 0 || n == 1 || n == 2);
            Spectra spectra;
            std::set<int> allowed;
            for (const auto &[key, value] : text.Channels) {
                const auto ch = ParseInt(std::string_view(key).substr(2));
                if (ch && *ch >= 0 && *ch <= LastChannel)
                    allowed.insert(*ch);
            }
            (void)ApplyChannels(text, 2, spectra);
            for (int ch = 0; ch <= LastChannel; ++ch)
                if (!allowed.count(ch))
                    QCOMPARE(spectra.Count(2, ch), 0.0);
            QCOMPARE(spectra.MaxCount(1), 0.0);
            RoiData roi;
            (void)ReadRoiBoxes(text.Roi, roi);
        }
        QVERIFY2(timer.elapsed() < 20000, "the loader took too long");
    }
};

QTEST_APPLESS_MAIN(TestSpectrumText)
#include "test_chart_text.moc"
