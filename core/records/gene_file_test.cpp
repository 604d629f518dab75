#include "records/gene_file.h"

#include <gtest/gtest.h>

#include "genome/gene.h"
#include "tests/test_support.h"

namespace {

TEST(GeneFile, FourHeaderLinesThenTheCodeBoxJoinedByCarriageReturns) {
  mGene gene(nullptr, {12, 14, 2});
  gene.setIdentifier(mID(3, 250, 1));
  const std::string expected =
      "/*----------------------*/\r\n  this is gene file\r\n  3-250-1\r\n/*----------------------*/\r\n"
      "ID:3-250-1\r0 : 0c : incr\r1 : 0e : zero\r\n";
  EXPECT_EQ(vek::geneFileText(gene, "ID:3-250-1\r\n0 : 0c : incr\r\n1 : 0e : zero"), expected);
  EXPECT_EQ(vek::geneFileText(gene, "ID:3-250-1\n0 : 0c : incr\n1 : 0e : zero"), expected);
  EXPECT_EQ(vek::geneFileText(gene, ""),
            "/*----------------------*/\r\n  this is gene file\r\n  3-250-1\r\n/*----------------------*/\r\n\r\n");
  EXPECT_EQ(vek::geneFileName(gene), "ID3-250-1.gene");

  const std::string path = vek::test::freshFolder("gene") + vek::geneFileName(gene);
  ASSERT_TRUE(vek::writeGeneFile(path, expected, vek::test::fileLock()).ok());
  EXPECT_EQ(vek::test::readBytes(path), expected);
}

}  // namespace
