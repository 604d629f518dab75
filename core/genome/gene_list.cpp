#include "genome/gene_list.h"

#include <algorithm>
#include <utility>

#include "base/text_io.h"

mGeneList::mGeneList(const mIdentifierClock* place) : mPlace(place) {}

mGeneList::~mGeneList() = default;

std::vector<std::unique_ptr<mGeneVector>>::const_iterator mGeneList::lowerBound(int length) const {
  return std::lower_bound(mVectors.begin(), mVectors.end(), length,
                          [](const std::unique_ptr<mGeneVector>& v, int l) { return v->size() < l; });
}

mGeneVector* mGeneList::vectorFor(int length) const {
  const auto it = lowerBound(length);
  return it != mVectors.end() && (*it)->size() == length ? it->get() : nullptr;
}

mGene* mGeneList::findEqual(const mGene& gene) const {
  const mGeneVector* vector = vectorFor(gene.size());
  return vector ? vector->findEqual(gene) : nullptr;
}

mGene* mGeneList::addGene(std::unique_ptr<mGene> gene) {
  if (!gene) return nullptr;
  const int length = gene->size();
  auto it = lowerBound(length);
  if (it == mVectors.end() || (*it)->size() != length) {
    it = mVectors.insert(it, std::make_unique<mGeneVector>(this, length));
  }
  return (*it)->addGene(std::move(gene));
}

mGene* mGeneList::findByIdentifier(const mID& id) const {
  const mGeneVector* vector = vectorFor(id.size);
  return vector ? vector->findByIdentifier(id) : nullptr;
}

bool mGeneList::removeCarrier(mSeed* seed, mGene* gene) {
  if (!gene) return false;
  gene->removeCarrier(seed);
  if (gene->carrierCount() > 0) return false;
  const auto it = lowerBound(gene->size());
  if (it == mVectors.end() || (*it)->size() != gene->size()) return false;
  const std::unique_ptr<mGene> removed = (*it)->removeGene(gene);
  if (!removed) return false;
  if (mPlace) mPlace->geneLeaving(*removed);
  if ((*it)->geneCount() == 0) mVectors.erase(it);
  return true;
}

mID mGeneList::newIdentifier(int length) const {
  if (!mPlace) return mID(length, 0, 0);
  return mID(length, mPlace->identifierTime(), mPlace->identifierMark());
}

int mGeneList::geneCount() const {
  int total = 0;
  for (const auto& vector : mVectors) total += vector->geneCount();
  return total;
}

std::vector<int> mGeneList::lengths() const {
  std::vector<int> result;
  result.reserve(mVectors.size());
  for (const auto& vector : mVectors) result.push_back(vector->size());
  return result;
}

std::vector<mSeed*> mGeneList::carriersOfLength(int length) const {
  std::vector<mSeed*> result;
  if (const mGeneVector* vector = vectorFor(length)) {
    for (const auto& gene : vector->genes()) {
      result.insert(result.end(), gene->carriers().begin(), gene->carriers().end());
    }
  }
  return result;
}

std::vector<mGeneFrequency> mGeneList::geneFrequencies() const {
  std::vector<mGeneFrequency> result;
  result.reserve(static_cast<size_t>(geneCount()));
  for (const auto& vector : mVectors) {
    for (const auto& gene : vector->genes()) {
      result.push_back({gene->identifier().text(), gene->carrierCount(), gene.get(), gene->identifier()});
    }
  }
  return result;
}

std::vector<mLengthFrequency> mGeneList::lengthFrequencies() const {
  std::vector<mLengthFrequency> result;
  result.reserve(mVectors.size());
  for (const auto& vector : mVectors) result.push_back({vector->size(), vector->carrierCount()});
  return result;
}

bool mGeneList::lengthOrder(const mLengthFrequency* a, const mLengthFrequency* b) {
  if (!a || !b) return false;
  return a->size < b->size;
}

bool mGeneList::lengthCarrierOrder(const mLengthFrequency* a, const mLengthFrequency* b) {
  if (!a || !b) return false;
  if (a->carriers != b->carriers) return a->carriers > b->carriers;
  return a->size < b->size;
}

bool mGeneList::geneCarrierOrder(const mGeneFrequency* a, const mGeneFrequency* b) {
  if (!a || !b) return false;
  if (a->carriers != b->carriers) return a->carriers > b->carriers;
  return mID::before(&a->id, &b->id);
}

void mGeneList::sortByLength(std::vector<mLengthFrequency>& records) {
  std::stable_sort(records.begin(), records.end(),
                   [](const mLengthFrequency& a, const mLengthFrequency& b) { return lengthOrder(&a, &b); });
}

void mGeneList::sortByCarriers(std::vector<mLengthFrequency>& records) {
  std::stable_sort(records.begin(), records.end(), [](const mLengthFrequency& a, const mLengthFrequency& b) {
    return lengthCarrierOrder(&a, &b);
  });
}

void mGeneList::sortByCarriers(std::vector<mGeneFrequency>& records) {
  // geneCarrierOrder is reflexive for equal identifiers; its strict part is a strict weak
  // ordering, which is what a standard sort needs to be well defined.
  std::stable_sort(records.begin(), records.end(), [](const mGeneFrequency& a, const mGeneFrequency& b) {
    return geneCarrierOrder(&a, &b) && !geneCarrierOrder(&b, &a);
  });
}

void mGeneList::write(std::ostream& out) const {
  out << "/*mGeneList start*/" << vek::kEol << mVectors.size() << vek::kEol;
  for (const auto& vector : mVectors) vector->write(out);
  out << "/*mGeneList end*/" << vek::kEol;
}

bool mGeneList::read(std::istream& in) {
  vek::skipLine(in);
  int count = 0;
  if (!vek::readInt(in, count)) return false;
  if (count < 0 || count > kMaxReadVectors) {
    vek::rejectValue(in, "the gene pool declares " + std::to_string(count) + " lengths (0 to " +
                             std::to_string(kMaxReadVectors) + " can be read)");
    return false;
  }
  std::vector<std::unique_ptr<mGeneVector>> vectors;
  for (int i = 0; i < count; ++i) {
    auto vector = std::make_unique<mGeneVector>(this);
    if (!vector->read(in)) return false;
    if (!vectors.empty() && vectors.back()->size() >= vector->size()) {
      vek::rejectValue(in, "the genes of length " + std::to_string(vector->size()) + " follow those of length " +
                               std::to_string(vectors.back()->size()) + "; the pool keeps lengths ascending");
      return false;
    }
    vectors.push_back(std::move(vector));
  }
  vek::skipLine(in);
  if (in.fail()) return false;
  mVectors = std::move(vectors);
  return true;
}
