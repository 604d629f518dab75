#include "genome/gene_vector.h"

#include <algorithm>
#include <utility>

#include "base/id.h"
#include "genome/gene.h"
#include "base/text_io.h"

mGeneVector::mGeneVector(mGeneList* pool, int size) : mPool(pool), mSize(size) {}

mGeneVector::~mGeneVector() = default;

int mGeneVector::carrierCount() const {
  int total = 0;
  for (const auto& gene : mGenes) total += gene->carrierCount();
  return total;
}

mGene* mGeneVector::findEqual(const mGene& gene) const {
  if (gene.size() != mSize) return nullptr;
  for (const auto& candidate : mGenes) {
    if (gene.equals(candidate.get())) return candidate.get();
  }
  return nullptr;
}

mGene* mGeneVector::findByIdentifier(const mID& id) const {
  if (id.size != mSize) return nullptr;
  for (const auto& candidate : mGenes) {
    if (candidate->identifier().equals(&id)) return candidate.get();
  }
  return nullptr;
}

mGene* mGeneVector::addGene(std::unique_ptr<mGene> gene) {
  if (!gene || gene->size() != mSize) return nullptr;
  gene->mPool = mPool;
  mGenes.push_back(std::move(gene));
  return mGenes.back().get();
}

std::unique_ptr<mGene> mGeneVector::removeGene(const mGene* gene) {
  if (!gene || gene->size() != mSize) return nullptr;
  const auto it = std::find_if(mGenes.begin(), mGenes.end(),
                               [gene](const std::unique_ptr<mGene>& held) { return held.get() == gene; });
  if (it == mGenes.end()) return nullptr;
  std::unique_ptr<mGene> removed = std::move(*it);
  mGenes.erase(it);
  return removed;
}

void mGeneVector::write(std::ostream& out) const {
  out << "/*mGeneVector start*/" << vek::kEol << mSize << ' ' << mGenes.size() << vek::kEol;
  for (const auto& gene : mGenes) gene->write(out);
  out << '0' << vek::kEol << "/*mGeneVector end*/" << vek::kEol;
}

bool mGeneVector::read(std::istream& in) {
  vek::skipLine(in);
  int size = 0;
  int count = 0;
  if (!vek::readInt(in, size) || !vek::readInt(in, count)) return false;
  if (size < 0 || count < 0 || count > kMaxReadGenes) {
    vek::rejectValue(in, "a gene vector of length " + std::to_string(size) + " declares " + std::to_string(count) +
                             " genes");
    return false;
  }
  std::vector<std::unique_ptr<mGene>> genes;
  for (int i = 0; i < count; ++i) {
    auto gene = std::make_unique<mGene>(mPool);
    if (!gene->read(in)) return false;
    if (gene->size() != size) {
      vek::rejectValue(in, "the gene " + gene->identifier().text() + " stands among the genes of length " +
                               std::to_string(size));
      return false;
    }
    genes.push_back(std::move(gene));
  }
  int terminator = 0;
  if (!vek::readInt(in, terminator)) return false;
  vek::skipLine(in);
  if (in.fail()) return false;
  mSize = size;
  mGenes = std::move(genes);
  return true;
}
