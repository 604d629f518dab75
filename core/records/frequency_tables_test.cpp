#include "records/frequency_tables.h"

#include <gtest/gtest.h>

#include "engine/place.h"
#include "engine/world.h"
#include "records/initial_gene_file.h"
#include "tests/test_support.h"

namespace {

TEST(FrequencyTables, ThreeOrderingsOfTheGenePool) {
  mWorld world;
  // Every entry is a new gene with one carrier; the identifiers take the time 0, 1, 2, 3.
  for (const std::vector<int>& codes : {std::vector<int>{1, 2, 3, 4}, std::vector<int>{5, 6},
                                        std::vector<int>{4, 3, 2, 1}, std::vector<int>{7, 8, 9}}) {
    InitialGeneEntry entry;
    entry.codes = codes;
    world.place().populateWithEntry(entry);
  }
  const vek::FrequencyTables tables = vek::buildFrequencyTables(world.place().genePool());
  EXPECT_EQ(tables.sizeFrequency, "2    1\r\n3    1\r\n4    2\r\n");
  EXPECT_EQ(tables.frequencySize, "4    2\r\n2    1\r\n3    1\r\n");  // ties by length
  EXPECT_EQ(tables.geneFrequency, "2-1-1    1\r\n3-3-1    1\r\n4-0-1    1\r\n4-2-1    1\r\n");

  const std::string path = vek::test::freshFolder("frq") + vek::kGeneFrequencyFileName;
  ASSERT_TRUE(vek::writeFrequencyFile(path, tables.geneFrequency, vek::test::fileLock()).ok());
  EXPECT_EQ(vek::test::readBytes(path), tables.geneFrequency + "\r\n");
}

TEST(FrequencyTables, AnEmptyPoolGivesEmptyTablesAndFilesOfOneLineEnd) {
  mWorld world;
  const vek::FrequencyTables tables = vek::buildFrequencyTables(world.place().genePool());
  EXPECT_EQ(tables.sizeFrequency, "");
  EXPECT_EQ(tables.frequencySize, "");
  EXPECT_EQ(tables.geneFrequency, "");
  const std::string path = vek::test::freshFolder("empty") + vek::kSizeFrequencyFileName;
  ASSERT_TRUE(vek::writeFrequencyFile(path, tables.sizeFrequency, vek::test::fileLock()).ok());
  EXPECT_EQ(vek::test::readBytes(path), "\r\n");
}

}  // namespace
