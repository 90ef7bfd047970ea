#include "SiteReader.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <sstream>

namespace {

using DelaunayTest::Point;
using TessaroTools::InputError;
using TessaroTools::parseSiteLine;
using TessaroTools::readSites;
using TessaroTools::SiteLine;

struct AcceptedLine {
    const char* line;
    float x;
    float y;
};

TEST(ParseSiteLine, AcceptsTwoNumbersWithEitherSeparator) {
    const AcceptedLine cases[] = {
        {"1 2", 1, 2},
        {"1,2", 1, 2},
        {" 1 , 2 ", 1, 2},
        {"\t-1.5\t2e3\r", -1.5f, 2000},
        {"+1 -2", 1, -2},
        {"0.1,0.2", 0.1f, 0.2f},
        {"1e-50 0", 0, 0}, // below float precision: rounds to zero
        {"3.4028234e38 -3.4028234e38", FLT_MAX, -FLT_MAX},
        {"-0 5", -0.0f, 5},
    };
    for (const AcceptedLine& c : cases) {
        Point site(99, 99);
        EXPECT_EQ(parseSiteLine(c.line, site), SiteLine::Site) << c.line;
        EXPECT_EQ(site.x, c.x) << c.line;
        EXPECT_EQ(site.y, c.y) << c.line;
    }
}

TEST(ParseSiteLine, ClassifiesEveryOtherLine) {
    const std::pair<const char*, SiteLine> cases[] = {
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
        {"1e39 0", SiteLine::OutOfRange},
        {"0 -3.5e38", SiteLine::OutOfRange},
        {"1e400 1", SiteLine::OutOfRange},
        {"1 -1e400", SiteLine::OutOfRange},
    };
    for (const auto& [line, expected] : cases) {
        Point site(7, 7);
        EXPECT_EQ(parseSiteLine(line, site), expected) << '"' << line << '"';
        EXPECT_EQ(site.x, 7) << "site changed by a line that is no site: " << line;
    }
}

TEST(ParseSiteLine, EmbeddedNulIsNoNumber) {
    Point site;
    EXPECT_EQ(parseSiteLine(std::string_view("1 2\0 3", 6), site), SiteLine::NotTwoNumbers);
}

TEST(ReadSites, KeepsFileOrderAndDuplicatesAndSkipsCommentsBlankLinesAndAByteOrderMark) {
    std::istringstream in("\xEF\xBB\xBF# sites\r\n\r\n3 4\r\n1,2\n\n  # more\n3 4\n-1 0");
    const std::vector<Point> sites = readSites(in, "sites.txt");
    ASSERT_EQ(sites.size(), 4u);
    const float expected[][2] = {{3, 4}, {1, 2}, {3, 4}, {-1, 0}};
    for (std::size_t i = 0; i < sites.size(); ++i) {
        EXPECT_EQ(sites[i].x, expected[i][0]);
        EXPECT_EQ(sites[i].y, expected[i][1]);
    }
}

std::string readError(const std::string& content) {
    std::istringstream in(content);
    try {
        readSites(in, "in.txt");
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
        {"", "in.txt: at least two sites are needed, found 0"},
        {"# only a comment\n\n", "in.txt: at least two sites are needed, found 0"},
        {"1 2\n", "in.txt: at least two sites are needed, found 1"},
    };
    for (const auto& [content, message] : cases) {
        EXPECT_EQ(readError(content), message) << content;
    }
}

TEST(ReadSites, TwoSitesAreEnough) {
    std::istringstream in("1 2\n1 2\n");
    EXPECT_EQ(readSites(in, "in.txt").size(), 2u);
}

} // namespace
