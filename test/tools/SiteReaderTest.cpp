#include "SiteReader.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <optional>
#include <sstream>

namespace {

using TessaroTools::InputError;
using TessaroTools::parseSiteLine;
using TessaroTools::Position;
using TessaroTools::Precision;
using TessaroTools::readSites;
using TessaroTools::SiteLine;

constexpr Precision Double = Precision::Double;
constexpr Precision Float = Precision::Float;

struct AcceptedLine {
    Precision precision;
    const char* line;
    double x;
    double y;
};

TEST(ParseSiteLine, AcceptsTwoNumbersWithEitherSeparator) {
    const AcceptedLine cases[] = {
        {Float, "1 2", 1, 2},
        {Float, "1,2", 1, 2},
        {Float, " 1 , 2 ", 1, 2},
        {Float, "\t-1.5\t2e3\r", -1.5, 2000},
        {Float, "+1 -2", 1, -2},
        {Float, "0.1,0.2", 0.1f, 0.2f},
        {Float, "1e-50 0", 0, 0}, // below float precision: rounds to zero
        {Float, "3.4028234e38 -3.4028234e38", FLT_MAX, -FLT_MAX},
        {Float, "-0 5", -0.0, 5},
        // Survey coordinates: a float holds them to half a metre only.
        {Float, "500000.12 4500000.34", 500000.125, 4500000.5},
        {Double, "500000.12 4500000.34", 500000.12, 4500000.34},
        {Double, "0.1,0.2", 0.1, 0.2},
        {Double, "1e-50 1e39", 1e-50, 1e39},
        {Double, "1.7976931348623157e308 -4.9e-324", DBL_MAX, -4.9e-324},
    };
    for (const AcceptedLine& c : cases) {
        Position site{99, 99};
        EXPECT_EQ(parseSiteLine(c.line, c.precision, site), SiteLine::Site) << c.line;
        EXPECT_EQ(site.x, c.x) << c.line;
        EXPECT_EQ(site.y, c.y) << c.line;
    }
}

struct ClassifiedLine {
    const char* line;
    SiteLine expected;
    std::optional<Precision> only = std::nullopt; // else in both precisions
};

TEST(ParseSiteLine, ClassifiesEveryOtherLine) {
    const ClassifiedLine cases[] = {
        {"", SiteLine::Ignored},
        {"   \t", SiteLine::Ignored},
        {"\r", SiteLine::Ignored},
        {"# x y", SiteLine::Ignored},
        {"  #1 2", SiteLine::Ignored},
        {"1", SiteLine::NotTwoNumbers},
        {"1 2 3", SiteLine::NotTwoNumbers},
        {"1,", SiteLine::NotTwoNumbers},
        {"1 ,", SiteLine::NotTwoNumbers},
        {",1 2", SiteLine::NotTwoNumbers},
        {"1,,2", SiteLine::NotTwoNumbers},
        {"1;2", SiteLine::NotTwoNumbers},
        {"a b", SiteLine::NotTwoNumbers},
        {"1 2x", SiteLine::NotTwoNumbers},
        {"1 2 # comment", SiteLine::NotTwoNumbers},
        {"nan 1", SiteLine::NotTwoNumbers},
        {"1 inf", SiteLine::NotTwoNumbers},
        {"1 -infinity", SiteLine::NotTwoNumbers},
        {"1e39 0", SiteLine::OutOfRange, Float}, // in double range: accepted above
        {"0 -3.5e38", SiteLine::OutOfRange, Float},
        {"1e400 1", SiteLine::OutOfRange},
        {"1 -1e400", SiteLine::OutOfRange},
    };
    for (const auto& [line, expected, only] : cases) {
        for (const Precision precision : {Float, Double}) {
            Position site{7, 7};
            if (only && *only != precision) {
                continue;
            }
            EXPECT_EQ(parseSiteLine(line, precision, site), expected) << '"' << line << '"';
            EXPECT_EQ(site.x, 7) << "site changed by a line that is no site: " << line;
        }
    }
}

TEST(ParseSiteLine, EmbeddedNulIsNoNumber) {
    Position site{};
    EXPECT_EQ(parseSiteLine(std::string_view("1 2\0 3", 6), Double, site), SiteLine::NotTwoNumbers);
}

TEST(ReadSites, KeepsFileOrderAndDuplicatesAndSkipsCommentsBlankLinesAndAByteOrderMark) {
    std::istringstream in("\xEF\xBB\xBF# sites\r\n\r\n3 4\r\n1,2\n\n  # more\n3 4\n-1 0");
    EXPECT_EQ(readSites(in, "sites.txt", Double), std::vector<double>({3, 4, 1, 2, 3, 4, -1, 0}));
}

std::string readError(const std::string& content, Precision precision = Float) {
    std::istringstream in(content);
    try {
        readSites(in, "in.txt", precision);
    } catch (const InputError& error) {
        return error.what();
    }
    return "no error";
}

TEST(ReadSites, NamesSourceAndLineOfTheFirstBadLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"1 2\n# c\n\nx 3\n4 x\n",
         "in.txt:4: expected two finite numbers separated by white space or a comma"},
        {"1 2\n3 4 5\n",
         "in.txt:2: expected two finite numbers separated by white space or a comma"},
        {"1e39 0\n1 2\n3 4\n", "in.txt:1: number out of float range"},
        {"1 2\n1e39 -2e308\n", "in.txt:2: number out of double range"},
        {"", "in.txt: at least two sites are needed, found 0"},
        {"# only a comment\n\n", "in.txt: at least two sites are needed, found 0"},
        {"1 2\n", "in.txt: at least two sites are needed, found 1"},
    };
    for (const auto& [content, message] : cases) {
        const bool doubleRange = std::string(message).find("double") != std::string::npos;
        EXPECT_EQ(readError(content, doubleRange ? Double : Float), message) << content;
    }
}

TEST(ReadSites, TwoSitesAreEnough) {
    std::istringstream in("1 2\n1 2\n");
    EXPECT_EQ(readSites(in, "in.txt", Float).size(), 4u);
}

} // namespace
