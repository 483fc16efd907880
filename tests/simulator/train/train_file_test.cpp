// Vehicle record layout, train file round trips, damaged files and consist sums.
#include "train/train_file.h"
#include "train/vehicle.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Bytes of one record laid out from the field table, independently of the codec.
struct ExpectedRecord {
    std::vector<unsigned char> b = std::vector<unsigned char>(120, 0);
    void Int(int at, int32_t v)
    {
        for (int i = 0; i < 4; ++i) b[size_t(at + i)] = uint8_t(uint32_t(v) >> (8 * i));
    }
    void Real(int at, double v)
    {
        uint64_t u = std::bit_cast<uint64_t>(v);
        for (int i = 0; i < 8; ++i) b[size_t(at + i)] = uint8_t(u >> (8 * i));
    }
    void Name(const std::string& s)
    {
        b[17] = uint8_t(s.size());
        for (size_t i = 0; i < s.size(); ++i) b[18 + i] = uint8_t(s[i]);
    }
};

TVehicleRec Loco()
{
    TVehicleRec r;
    r.name = "RE-RUZ125";
    r.isTraction = 1;
    r.unused = 0;
    r.length = 20.0;
    r.mass = 120.0;
    r.maxTraction = 300;
    r.power = 4000;
    r.maxBrake = 200;
    r.numAxles = 6;
    return r;
}

TVehicleRec Car(double xArea = 10.0)
{
    TVehicleRec r;
    r.name = "BOX-40";
    r.unused = 0;
    r.length = 15.0;
    r.mass = 80.0;
    r.xArea = xArea;
    r.maxBrake = 100;
    r.numAxles = 4;
    return r;
}

std::vector<unsigned char> ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& path, const std::vector<unsigned char>& data)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

class TrainFileTest : public ::testing::Test {
protected:
    fs::path dir;
    TConsist consist;

    void SetUp() override
    {
        dir = fs::path(DROVIK_TEST_BINARY_DIR) /
              ("trains_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        ClearConsist(consist);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Path(const char* name) const { return (dir / name).string(); }
};

TEST_F(TrainFileTest, RecordBytesFollowTheFieldOffsets)
{
    TVehicleRec r = Loco();
    r.xArea = 9.5;
    r.massPerAxle = 20.0;
    ExpectedRecord e;
    e.Name("RE-RUZ125");
    e.Int(36, 1);
    e.Int(40, 0);
    e.Real(48, 20.0);
    e.Real(56, 120.0);
    e.Real(64, 9.5);
    e.Int(72, 300);
    e.Int(76, 4000);
    e.Int(80, 200);
    e.Int(84, 6);
    e.Real(112, 20.0);
    TVehicleBytes got = EncodeVehicle(r);
    EXPECT_EQ(std::vector<unsigned char>(got.begin(), got.end()), e.b);

    // A cleared record carries 1800 at offset 40.
    ExpectedRecord cleared;
    cleared.Int(40, 1800);
    TVehicleBytes blank = EncodeVehicle(TVehicleRec{});
    EXPECT_EQ(std::vector<unsigned char>(blank.begin(), blank.end()), cleared.b);
}

TEST_F(TrainFileTest, LongNamesAreCutToSixteenBytes)
{
    TVehicleRec r = Car();
    r.name = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    TVehicleBytes b = EncodeVehicle(r);
    EXPECT_EQ(b[17], 16);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[18]), 16), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(b[34], 0);  // nothing spills into the padding
}

TEST_F(TrainFileTest, SavedFileIsTheRecordsBackToBack)
{
    AddVehicle(consist, 0, Loco());
    AddVehicle(consist, 1, Car());
    std::string error;
    ASSERT_TRUE(SaveTrain(Path("two.trn"), consist, &error)) << error;
    std::vector<unsigned char> file = ReadAll(dir / "two.trn");
    ASSERT_EQ(file.size(), 240u);

    ExpectedRecord second;
    second.Name("BOX-40");
    second.Real(48, 15.0);
    second.Real(56, 80.0);
    second.Real(64, 10.0);
    second.Int(80, 100);
    second.Int(84, 4);
    second.Real(112, 20.0);  // mass per axle filled in by the sum
    EXPECT_EQ(std::vector<unsigned char>(file.begin() + 120, file.end()), second.b);
    EXPECT_FALSE(fs::exists(dir / "two.trn.tmp"));
}

TEST_F(TrainFileTest, RoundTripGivesTheSameConsist)
{
    AddVehicle(consist, 0, Loco());
    AddVehicle(consist, 1, Car(10.0));
    AddVehicle(consist, 2, Car(12.0));
    std::string error;
    ASSERT_TRUE(SaveTrain(Path("three.trn"), consist, &error)) << error;

    TConsist loaded;
    ClearConsist(loaded);
    ASSERT_TRUE(LoadTrain(Path("three.trn"), loaded, &error)) << error;
    ASSERT_EQ(loaded.count, 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(EncodeVehicle(loaded.recs[size_t(i)]), EncodeVehicle(consist.recs[size_t(i)]));
    }
    EXPECT_DOUBLE_EQ(loaded.tonnage, consist.tonnage);
    EXPECT_DOUBLE_EQ(loaded.davisA, consist.davisA);
    EXPECT_DOUBLE_EQ(loaded.davisC, consist.davisC);
    EXPECT_EQ(loaded.tractionUnits, 1);
}

TEST_F(TrainFileTest, MissingFileGivesAnEmptyConsist)
{
    AddVehicle(consist, 0, Loco());
    std::string error;
    EXPECT_TRUE(LoadTrain(Path("none.trn"), consist, &error));
    EXPECT_EQ(consist.count, 0);
    EXPECT_DOUBLE_EQ(consist.tonnage, 0.0);
}

TEST_F(TrainFileTest, DamagedFilesAreRefusedAndTheConsistKept)
{
    ExpectedRecord good;
    good.Name("BOX-40");
    good.Real(56, 80.0);
    good.Int(84, 4);
    ExpectedRecord bad_name = good;
    bad_name.b[17] = 17;

    auto records = [&](int n, const ExpectedRecord& r) {
        std::vector<unsigned char> out;
        for (int i = 0; i < n; ++i) out.insert(out.end(), r.b.begin(), r.b.end());
        return out;
    };
    std::vector<unsigned char> short_file = records(1, good);
    short_file.pop_back();
    std::vector<unsigned char> long_file = records(1, good);
    long_file.push_back(0);
    std::vector<unsigned char> bad_second = records(1, good);
    bad_second.insert(bad_second.end(), bad_name.b.begin(), bad_name.b.end());

    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"empty", {}, "no vehicles"},
        {"short", short_file, "whole number"},
        {"one byte over", long_file, "whole number"},
        {"101 vehicles", records(101, good), "more than 100"},
        {"20000 bytes", std::vector<unsigned char>(20000, 0), "more than 100"},
        {"name longer than 16", bad_second, "vehicle 1"},
    };
    AddVehicle(consist, 0, Loco());
    AddVehicle(consist, 1, Car());
    const double tonnage = consist.tonnage;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteAll(dir / "bad.trn", c.bytes);
        std::string error;
        EXPECT_FALSE(LoadTrain(Path("bad.trn"), consist, &error));
        EXPECT_NE(error.find("bad.trn"), std::string::npos) << error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_EQ(consist.count, 2);
        EXPECT_EQ(consist.recs[0].name, "RE-RUZ125");
        EXPECT_DOUBLE_EQ(consist.tonnage, tonnage);
    }

    WriteAll(dir / "full.trn", records(100, good));
    std::string error;
    EXPECT_TRUE(LoadTrain(Path("full.trn"), consist, &error)) << error;
    EXPECT_EQ(consist.count, 100);
}

TEST_F(TrainFileTest, SavingAnEmptyTrainOrIntoAMissingFolderFails)
{
    std::string error;
    EXPECT_FALSE(SaveTrain(Path("empty.trn"), consist, &error));
    EXPECT_FALSE(fs::exists(dir / "empty.trn"));

    AddVehicle(consist, 0, Loco());
    WriteAll(dir / "keep.trn", {1, 2, 3});
    error.clear();
    EXPECT_FALSE(SaveTrain(Path("no folder/keep.trn"), consist, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ReadAll(dir / "keep.trn").size(), 3u);
}

TEST(TrainMessages, SavedMessage)
{
    EXPECT_EQ(TrainSavedMessage("Freight 1"), "Train:  \"Freight 1\"  was saved to disk.");
}

TEST(ConsistSums, TotalsAndDavisAverages)
{
    TConsist c;
    ClearConsist(c);
    AddVehicle(c, 0, Loco());
    AddVehicle(c, 1, Car(10.0));
    EXPECT_EQ(c.count, 2);
    EXPECT_DOUBLE_EQ(c.tonnage, 200.0);
    EXPECT_DOUBLE_EQ(c.length, 35.0);
    EXPECT_DOUBLE_EQ(c.traction, 300.0);
    EXPECT_DOUBLE_EQ(c.braking, 300.0);
    EXPECT_EQ(c.tractionUnits, 1);
    // Both weigh 20 t per axle: A = 1.3 + 29 / 20 each.
    EXPECT_DOUBLE_EQ(c.davisA, 1.3 + 29.0 / 20.0);
    EXPECT_DOUBLE_EQ(c.davisC, (10.0 * 0.0005 / 80.0) / 2.0);
    EXPECT_DOUBLE_EQ(c.recs[0].massPerAxle, 20.0);
}

TEST(ConsistSums, VehicleWithoutAxlesCountsAsFourAxlesAndFiftyTonnes)
{
    TConsist c;
    ClearConsist(c);
    TVehicleRec r = Car();
    r.numAxles = 0;
    r.mass = 80.0;
    AddVehicle(c, 0, Loco());
    AddVehicle(c, 1, r);
    EXPECT_DOUBLE_EQ(c.tonnage, 170.0);
    EXPECT_EQ(c.recs[1].numAxles, 4);
    EXPECT_DOUBLE_EQ(c.recs[1].massPerAxle, 12.5);
    AddVehicle(c, 2, Car());
    EXPECT_DOUBLE_EQ(c.tonnage, 250.0);  // the same 50 t in every later sum
}

TEST(ConsistSums, AppendReplaceAndRefuse)
{
    TConsist c;
    ClearConsist(c);
    AddVehicle(c, 0, Loco());
    AddVehicle(c, 1, Car());
    AddVehicle(c, 2, Car());
    EXPECT_TRUE(AddVehicle(c, 3, Car()));  // at the count: appended
    EXPECT_EQ(c.count, 4);
    TVehicleRec heavy = Car();
    heavy.mass = 100.0;
    EXPECT_TRUE(AddVehicle(c, 1, heavy));  // inside: replaced
    EXPECT_EQ(c.count, 4);
    EXPECT_DOUBLE_EQ(c.tonnage, 120.0 + 100.0 + 80.0 + 80.0);
    EXPECT_FALSE(AddVehicle(c, 6, Car()));  // beyond the count
    EXPECT_FALSE(AddVehicle(c, -1, Car()));
    EXPECT_EQ(c.count, 4);
}

TEST(ConsistSums, FullConsistTakesNoMore)
{
    TConsist c;
    ClearConsist(c);
    for (int i = 0; i < MaxVehicles; ++i) ASSERT_TRUE(AddVehicle(c, i, Car()));
    EXPECT_FALSE(AddVehicle(c, MaxVehicles, Car()));
    EXPECT_EQ(c.count, MaxVehicles);
}

TEST(ConsistSums, ClearEmptiesEveryRecord)
{
    TConsist c;
    for (auto& r : c.recs) r = Car();
    c.count = 100;
    SumConsist(c);
    ClearConsist(c);
    EXPECT_EQ(c.count, 0);
    EXPECT_DOUBLE_EQ(c.tonnage, 0.0);
    EXPECT_DOUBLE_EQ(c.davisA, 0.0);
    for (const auto& r : c.recs) {
        EXPECT_TRUE(r.name.empty());
        EXPECT_EQ(r.unused, 1800);
    }
}

}  // namespace
