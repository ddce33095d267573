// The printer choice as the settings store keeps it: the 104-byte record, the device mode, and
// loading it back among the queues that are installed.
#include "output/SavePrintSetup.h"

#include "platform/Registry.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

class SavePrintSetupTest : public ::testing::Test
{
protected:
    SavePrintSetupTest() : registry(dir / "registry.ini") {}
    std::vector<uint8_t> Stored(const char* name)
    {
        registry.OpenKey(kSettingsKey, false);
        return registry.ReadBinary(name).value_or(std::vector<uint8_t>{});
    }
    std::string Field(const std::vector<uint8_t>& bytes, size_t at)
    {
        return std::string(reinterpret_cast<const char*>(bytes.data()) + at);
    }

    vmtest::TempDir dir;
    TRegistry registry;
};

TEST_F(SavePrintSetupTest, TheRecordHoldsNameDriverAndPortAtTheirBytes)
{
    TPrinterSettings s;
    s.Printer = "Office_Laser";
    s.PageSizeName = "A4";
    s.PageWidthPt = 595.276;
    s.PageHeightPt = 841.89;
    s.Landscape = true;
    s.Copies = 2;
    s.Duplex = 1;
    s.Color = false;
    s.Resolution = 600;
    StorePrinterSetup(registry, s);

    std::vector<uint8_t> record = Stored("Printer setup");
    ASSERT_EQ(record.size(), 104u);
    EXPECT_EQ(Field(record, 0), "Office_Laser");
    EXPECT_EQ(Field(record, 33), "CUPS");
    EXPECT_EQ(Field(record, 66), "CUPS");
    EXPECT_EQ(LoadPrinterSetup(registry, {"PDF", "Office_Laser"}), s);
}

TEST_F(SavePrintSetupTest, APdfFileNeedsNoQueue)
{
    TPrinterSettings s;
    s.OutputFile = "/home/admin/listing.pdf";
    StorePrinterSetup(registry, s);
    std::vector<uint8_t> record = Stored("Printer setup");
    EXPECT_EQ(Field(record, 0), "PDF file");
    EXPECT_EQ(Field(record, 33), "PDF");
    EXPECT_EQ(Field(record, 66), "FILE:");
    std::optional<TPrinterSettings> back = LoadPrinterSetup(registry, {});
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Printer, "");
    EXPECT_EQ(back->OutputFile, "/home/admin/listing.pdf");
}

TEST_F(SavePrintSetupTest, ALongQueueNameIsTakenWholeFromTheDeviceMode)
{
    const std::string longName = "Second_floor_colour_laser_by_the_stairs"; // 39 bytes
    const std::string cut = longName.substr(0, 32);
    TPrinterSettings s;
    s.Printer = longName;
    StorePrinterSetup(registry, s);
    EXPECT_EQ(Field(Stored("Printer setup"), 0), cut);
    EXPECT_EQ(LoadPrinterSetup(registry, {cut, longName})->Printer, longName);

    // Without its whole name installed, the cut name is not taken for another queue.
    try {
        LoadPrinterSetup(registry, {cut});
        FAIL() << "loaded a queue of another name";
    } catch (const ESavePrintSetup& e) {
        EXPECT_STREQ(e.what(), "Printer not found among the CUPS printers");
    }

    // A device mode written for another printer does not lend its name.
    registry.OpenKey(kSettingsKey, false);
    registry.WriteBinary("Printer setup", EncodePrinterSetup("Hall", "CUPS", "CUPS"));
    EXPECT_EQ(LoadPrinterSetup(registry, {"Hall", longName})->Printer, "Hall");
}

TEST_F(SavePrintSetupTest, CutNamesNeverSplitACharacter)
{
    const std::string name(31, 'x');
    std::vector<uint8_t> record = EncodePrinterSetup(name + "é", "CUPS", "CUPS"); // é is 2 bytes
    EXPECT_EQ(Field(record, 0), name);
    EXPECT_EQ(record[31], 0);
}

TEST_F(SavePrintSetupTest, DamagedOrMissingValuesGiveTheirMessages)
{
    EXPECT_FALSE(LoadPrinterSetup(registry, {"PDF"})); // nothing stored

    registry.OpenKey(kSettingsKey, true);
    registry.WriteBinary("Printer setup", std::vector<uint8_t>(103, 0));
    EXPECT_THROW(
        {
            try {
                LoadPrinterSetup(registry, {"PDF"});
            } catch (const ESavePrintSetup& e) {
                EXPECT_STREQ(e.what(), "Registry [printerconfig] - corrupt");
                throw;
            }
        },
        ESavePrintSetup);

    registry.WriteBinary("Printer setup", EncodePrinterSetup("PDF", "CUPS", "CUPS"));
    registry.WriteBinary("Printer device mode", {0xDE, 0xAD, 0xBE, 0xEF});
    EXPECT_THROW(LoadPrinterSetup(registry, {"PDF"}), ESavePrintSetup);

    registry.DeleteValue("Printer device mode");
    EXPECT_EQ(LoadPrinterSetup(registry, {"PDF"})->Printer, "PDF");
    EXPECT_THROW(LoadPrinterSetup(registry, {"Other"}), ESavePrintSetup);
}

TEST(DeviceModeTest, UnknownKeysAndBadValuesAreSkipped)
{
    const std::string text =
        "Volumark printer settings\nCopies=abc\nFuture=1\nOrientation=landscape\n"
        "Duplex=9\nResolution=-5\nPageWidthPt=1e300\n";
    std::optional<TPrinterSettings> s = DecodeDeviceMode({text.begin(), text.end()});
    ASSERT_TRUE(s);
    EXPECT_EQ(s->Copies, 1);
    EXPECT_TRUE(s->Landscape);
    EXPECT_EQ(s->Duplex, 3);
    EXPECT_EQ(s->Resolution, 0);
    EXPECT_EQ(s->PageWidthPt, 0);
    const std::string other = "Volumark printer settingsX\n";
    EXPECT_FALSE(DecodeDeviceMode({other.begin(), other.end()}));
}

} // namespace
} // namespace vm
