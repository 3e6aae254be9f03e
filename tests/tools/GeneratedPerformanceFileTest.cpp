// The generated file that benchmarks and comparison scripts measure: the report reads
// it whole, without a skipped row, in matches of the promised length; and the program
// that writes it for scripts gives the library's bytes.

#include <gtest/gtest.h>

#include "GeneratedPerformanceFile.h"
#include "RunProgram.h"
#include "ToolTestSupport.h"

namespace QuorvelTest {
namespace {

using Quorvel::Bench::kGeneratedMatchSeconds;
using Quorvel::Bench::writeGeneratedPerformanceFile;

struct SizeCase {
    std::int64_t rows;
    std::size_t matches;
};

std::ostream& operator<<(std::ostream& out, const SizeCase& size) {
    return out << size.rows << " rows";
}

class GeneratedFileSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(GeneratedFileSize, ReadsAsWholeMatchesOfTheGivenLength) {
    TempDir folder("quorvel-generated");
    const auto file = folder / "p-performance.csv";
    ASSERT_TRUE(writeGeneratedPerformanceFile(file, GetParam().rows));
    const Analyzed analysis = analyzeInputs({Quorvel::Read::Input::file(file)});
    ASSERT_EQ(analysis.result.inputs.size(), 1u);
    const auto& input = analysis.result.inputs[0];
    ASSERT_TRUE(input.usable()) << input.refused->what();
    EXPECT_EQ(input.rows, static_cast<std::size_t>(GetParam().rows));
    EXPECT_EQ(input.skipped.count(), 0u);
    EXPECT_TRUE(analysis.problems.empty());
    ASSERT_EQ(analysis.matches.size(), GetParam().matches);
    for (std::size_t i = 0; i + 1 < analysis.matches.size(); ++i) {
        EXPECT_EQ(analysis.matches[i].figures.rows,
                  static_cast<std::size_t>(kGeneratedMatchSeconds));
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, GeneratedFileSize,
                         ::testing::Values(SizeCase{1, 1}, SizeCase{299, 1}, SizeCase{300, 1},
                                           SizeCase{301, 2}, SizeCase{650, 3}));

TEST(GeneratedFile, IsRefusedWhereItCannotBeWritten) {
    TempDir folder("quorvel-generated");
    EXPECT_FALSE(writeGeneratedPerformanceFile(folder / "missing" / "p-performance.csv", 10));
}

TEST(MakePerformanceFile, WritesTheLibrarysBytes) {
    TempDir folder("quorvel-generated");
    ASSERT_TRUE(writeGeneratedPerformanceFile(folder / "library.csv", 1000));
    const ProgramRun run = runProgram(QUORVEL_MAKE_PERFORMANCE_FILE_PATH,
                                      "1000 " + shellQuoted(folder / "program.csv"), folder);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(readFile(folder / "program.csv"), readFile(folder / "library.csv"));
}

TEST(MakePerformanceFile, RefusesArgumentsThatAreNotACountAndAFile) {
    TempDir folder("quorvel-generated");
    const std::string inFolder = "cd " + shellQuoted(folder.path()) + " && ";
    for (const std::string arguments :
         {"", "10", "-1 out.csv", "ten out.csv", "10x out.csv", "10 out.csv extra"}) {
        const ProgramRun run =
            runProgram(QUORVEL_MAKE_PERFORMANCE_FILE_PATH, arguments, folder, inFolder);
        EXPECT_EQ(run.exitCode, 2) << arguments;
        EXPECT_NE(run.err.find("usage: make-performance-file ROWS OUT"), std::string::npos);
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "out.csv"));
}

}  // namespace
}  // namespace QuorvelTest
