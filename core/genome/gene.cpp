#include "genome/gene.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "body/parameters.h"
#include "base/random.h"
#include "base/instructions.h"
#include "base/text_io.h"

namespace {

// FNV-1a over the opcodes, a whole opcode at a time (every bred child is hashed).
std::uint64_t hashCode(const std::vector<int>& code) {
  std::uint64_t h = 14695981039346656037ull;
  for (const int value : code) {
    h ^= static_cast<std::uint32_t>(value);
    h *= 1099511628211ull;
  }
  return h;
}

// The number of bits of an opcode: log2 of the instruction count 32.
constexpr int kOpcodeBits = 5;

// Flips bit `b`: subtract 2^b when set, add it otherwise, then reduce modulo
// 32 into 0..31. Done in 64 bits so an out-of-range opcode near the int limits cannot overflow.
int flipBit(int opcode, int b) {
  const long long value = opcode;
  const long long weight = 1ll << b;
  const long long flipped = (value & weight) ? value - weight : value + weight;
  return static_cast<int>(((flipped % kInstructionCount) + kInstructionCount) % kInstructionCount);
}

}  // namespace

mGene::mGene(mGeneList* pool) : mPool(pool) {}

mGene::mGene(mGeneList* pool, std::vector<int> code) : mPool(pool) { setCode(std::move(code)); }

mGene::~mGene() = default;

void mGene::setCode(std::vector<int> code) {
  mCode = std::move(code);
  mHasCode = true;
  mCodeHash = hashCode(mCode);
  mSegments.reset();
}

const std::vector<std::span<const int>>& mGene::segments() const {
  if (!mSegments) mSegments = splitSegments(mCode);
  return *mSegments;
}

void mGene::addCarrier(mSeed* seed) {
  if (!seed) return;
  if (std::find(mCarriers.begin(), mCarriers.end(), seed) != mCarriers.end()) return;
  mCarriers.push_back(seed);
  ++mTotalCarriers;
  mPeakCarriers = std::max(mPeakCarriers, carrierCount());
}

void mGene::removeCarrier(mSeed* seed) {
  const auto it = std::find(mCarriers.begin(), mCarriers.end(), seed);
  if (it != mCarriers.end()) mCarriers.erase(it);
}

bool mGene::equals(const mGene* other) const {
  if (!other) return false;
  if (mIdentifier.equals(&other->mIdentifier)) return true;
  if (size() != other->size() || !other->mHasCode) return false;
  if (size() < 1) return true;
  // Equal codes have equal hashes, so this only saves work; the answer is the same.
  if (mCodeHash != other->mCodeHash) return false;
  return mCode == other->mCode;
}

std::string mGene::listing() const {
  std::string text = "ID:" + mIdentifier.text() + vek::kEol;
  char line[64];
  for (int i = 0; i < size(); ++i) {
    const int opcode = mCode[i];
    const char* mnemonic = isOpcode(opcode) ? mnemonicOf(opcode) : kUnknownMnemonic;
    std::snprintf(line, sizeof line, "%d : %02x : %s\r\n", i, static_cast<unsigned>(opcode), mnemonic);
    text += line;
  }
  return text;
}

std::vector<std::span<const int>> mGene::splitSegments(std::span<const int> code) {
  std::vector<std::span<const int>> segments;
  segments.reserve(static_cast<size_t>(std::count(code.begin(), code.end(), op::gene_separate)) + 1);
  size_t start = 0;
  for (size_t i = 0; i < code.size(); ++i) {
    if (code[i] == op::gene_separate) {
      segments.push_back(code.subspan(start, i + 1 - start));
      start = i + 1;
    }
  }
  if (start < code.size()) segments.push_back(code.subspan(start));
  return segments;
}

std::unique_ptr<mGene> mGene::breedGene(const mGene& mother, const mGene& father, double w,
                                        const Parameters& params, mRandom& random) {
  // Segments are views into the parents' codes (which never change) or into `edited`, the
  // one segment that a size mutation rewrites; so K is "a copy of M" without copying.
  using Segment = std::span<const int>;
  const std::vector<Segment>& M = mother.segments();
  const std::vector<Segment>& F = father.segments();
  std::vector<Segment> K = M;
  const double p = params.mGene_maxFatherEffect * w;

  // Step 4: crossing-over, one draw per common segment index.
  const size_t common = std::min(M.size(), F.size());
  for (size_t i = 0; i < common; ++i) {
    if (random.uniform01() < p) K[i] = F[i];
  }

  // Step 5: segment mutation.
  if (random.uniform01() < params.mGene_vectorVariation) {
    const int k = random.randomInt(static_cast<int>(K.size()) + 1);
    if (random.uniform01() < 0.5) {
      const std::vector<Segment>& source = random.uniform01() < p ? F : M;
      if (!source.empty()) {
        const Segment inserted = source[random.randomInt(static_cast<int>(source.size()))];
        K.insert(K.begin() + k, inserted);
      }
    } else if (k < static_cast<int>(K.size())) {
      K.erase(K.begin() + k);
    }
  }

  // Step 6: size mutation.
  std::vector<int> edited;
  if (random.uniform01() < params.mGene_sizeVariation) {
    if (K.empty()) {
      edited.push_back(random.randomInt(kInstructionCount));
      K.push_back(edited);
    } else {
      const int j = random.randomInt(static_cast<int>(K.size()));
      const int q = random.randomInt(static_cast<int>(K[j].size()));
      edited.assign(K[j].begin(), K[j].end());
      if (random.uniform01() < 0.5) {
        edited.insert(edited.begin() + q, random.randomInt(kInstructionCount));
      } else if (q < static_cast<int>(edited.size())) {
        edited.erase(edited.begin() + q);
      }
      K[j] = edited;
    }
  }

  // Step 7: the child's code.
  std::vector<int> code;
  size_t length = 0;
  for (const Segment& segment : K) length += segment.size();
  code.reserve(length);
  for (const Segment& segment : K) code.insert(code.end(), segment.begin(), segment.end());
  if (code.empty()) code.push_back(random.randomInt(kInstructionCount));

  // Step 8: point mutation.
  if (random.uniform01() < params.mGene_operatorVariation) {
    const int i = random.randomInt(static_cast<int>(code.size()));
    if (random.uniform01() < params.mGene_operatorRandomVariation) {
      code[i] = random.randomInt(kInstructionCount);
    } else {
      code[i] = flipBit(code[i], random.randomInt(kOpcodeBits));
    }
  }

  // Step 9.
  return std::make_unique<mGene>(mother.mPool, std::move(code));
}

void mGene::write(std::ostream& out) const {
  out << "/*mGene strat*/" << vek::kEol;
  mIdentifier.write(out);
  for (const int value : mCode) out << value << ' ';
  out << vek::kEol << "/*mGene end*/" << vek::kEol;
}

bool mGene::read(std::istream& in) {
  vek::skipLine(in);
  mID identifier;
  identifier.read(in);
  if (in.fail()) return false;
  const int size = identifier.size;
  if (size < 0 || size > kMaxReadSize) {
    vek::rejectValue(in, "the gene " + identifier.text() + " declares a length of " + std::to_string(size) +
                             " (0 to " + std::to_string(kMaxReadSize) + " can be read)");
    return false;
  }
  // Grows with what the file really holds, never by the declared size alone.
  std::vector<int> code;
  for (int i = 0; i < size; ++i) {
    int value = 0;
    if (!vek::readInt(in, value)) return false;
    if (!isOpcode(value)) {
      vek::rejectValue(in, "the gene " + identifier.text() + " holds the opcode " + std::to_string(value) +
                               " at " + std::to_string(i) + "; opcodes run from 0 to 31");
      return false;
    }
    code.push_back(value);
  }
  vek::skipLine(in);
  if (in.fail()) return false;
  mIdentifier = identifier;
  setCode(std::move(code));
  return true;
}
