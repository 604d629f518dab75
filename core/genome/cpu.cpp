#include "genome/cpu.h"

#include <algorithm>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <utility>

#include "body/parameters.h"
#include "body/parts_list.h"
#include "genome/gene.h"
#include "base/text_io.h"

int registerToIndex(double value) {
  // Written as two comparisons so that NaN, which fails both, lands on the sentinel too.
  if (value > -2147483649.0 && value < 2147483648.0) return static_cast<int>(value);
  return INT_MIN;
}

// One row per opcode: the row's opcode names the mnemonic (genome/instructions.h) and the cost
// key (mCPU_energy), and the handler runs the instruction.
constexpr mCPU::Instruction mCPU::kInstructions[kInstructionCount] = {
    {op::nop_0, &mCPU::nothing},
    {op::nop_1, &mCPU::nothing},
    {op::gene_separate, &mCPU::nothing},
    {op::if_counter_zero, &mCPU::ifCounterZero},
    {op::jump_forward, &mCPU::jumpForward},
    {op::jump_back, &mCPU::jumpBack},
    {op::call, &mCPU::call},
    {op::ret, &mCPU::ret},
    {op::push, &mCPU::push},
    {op::pop, &mCPU::pop},
    {op::shift_left, &mCPU::shiftLeft},
    {op::shift_right, &mCPU::shiftRight},
    {op::increment, &mCPU::increment},
    {op::decrement, &mCPU::decrement},
    {op::zero, &mCPU::zero},
    {op::cut_edge, &mCPU::cutEdge},
    {op::set_flower_number, &mCPU::select<kFlowerNumber>},
    {op::set_leaf_number, &mCPU::select<kLeafNumber>},
    {op::set_flower_energy, &mCPU::select<kFlowerEnergy>},
    {op::set_leaf_energy, &mCPU::select<kLeafEnergy>},
    {op::set_node_number, &mCPU::select<kNodeNumber>},
    {op::set_edge_number, &mCPU::select<kEdgeNumber>},
    {op::set_phy, &mCPU::select<kPhi>},
    {op::set_theta, &mCPU::select<kTheta>},
    {op::set_r, &mCPU::select<kR>},
    {op::set_counter, &mCPU::select<kCounter>},
    {op::make_flower, &mCPU::makeFlower},
    {op::make_leaf, &mCPU::makeLeaf},
    {op::make_node, &mCPU::makeNode},
    {op::grow_flower, &mCPU::growFlower},
    {op::grow_leaf, &mCPU::growLeaf},
    {op::breed_flower, &mCPU::breedFlower},
};

mCPU::mCPU(mCPUOwner* owner) : mOwner(owner) {
  static_assert(
      [] {
        for (int opcode = 0; opcode < kInstructionCount; ++opcode) {
          if (kInstructions[opcode].opcode != opcode) return false;
        }
        return true;
      }(),
      "each instruction's row stands at its opcode");
  mBoundGene = owner ? owner->cpuGene() : nullptr;
  if (mBoundGene) {
    mCode = mBoundGene->code().data();
    mCodeSize = mBoundGene->size();
  }
}

mPartsList* mCPU::body() const { return mOwner ? mOwner->cpuBody() : nullptr; }

const Parameters& mCPU::parameters() const {
  return mOwner ? mOwner->cpuParameters() : kBuiltInParameters;
}

void mCPU::step() {
  if (mIp < 0 || mIp >= mCodeSize) {
    chargeError();
    mIp = 0;
    return;
  }
  if (!mCode) {
    ++mIp;
    return;
  }
  const int opcode = mCode[mIp];
  if (!isOpcode(opcode)) {
    chargeError();
    ++mIp;
    return;
  }
  const Instruction& instruction = kInstructions[opcode];
  mTrace.clear();
  mChargePending = false;
  mTracedIp = mIp;
  mTracedOpcode = instruction.opcode;
  const double extra = (this->*instruction.handler)();
  charge(instruction.opcode, parameters().mCPU_energy[instruction.opcode] + extra);
  // A return may bring back any position a saved call stack held; past INT_MAX the next step
  // is an error step all the same.
  if (mIp < INT_MAX) ++mIp;
}

void mCPU::bookUpkeepByKind(const mPartsList::Upkeep& upkeep) {
  mAccount.addUsage(op::set_flower_number, upkeep.flower);
  mAccount.addUsage(op::set_leaf_number, upkeep.leaf);
  mAccount.addUsage(op::set_edge_number, upkeep.edge);
}

void mCPU::charge(int opcode, double cost) {
  const mPartsList* living = body();
  mAccount.addUsage(opcode, cost);
  const mPartsList::Upkeep upkeep = living ? living->upkeep() : mPartsList::Upkeep{};
  const double keep = living ? upkeep.total : parameters().mSeed_keep_calorie;
  mAccount.addKeep(keep);
  if (living) bookUpkeepByKind(upkeep);
  mAccount.addUsed(keep + cost);
  mAccount.spend(keep + cost);
  mChargePending = true;
  mChargedCost = cost;
  mChargedKeep = keep;
}

namespace {
// `format` printed into a string; a cost may be any double, and "%.10lf" prints every digit of
// a huge one, so the text is sized first.
void appendFormatted(std::string& text, const char* format, va_list arguments) {
  va_list again;
  va_copy(again, arguments);
  const int length = std::vsnprintf(nullptr, 0, format, arguments);
  if (length > 0) {
    const size_t start = text.size();
    text.resize(start + static_cast<size_t>(length) + 1);
    std::vsnprintf(text.data() + start, static_cast<size_t>(length) + 1, format, again);
    text.pop_back();
  }
  va_end(again);
}

__attribute__((format(printf, 2, 3))) void appendFormatted(std::string& text, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  appendFormatted(text, format, arguments);
  va_end(arguments);
}
}  // namespace

std::string mCPU::trace() const {
  if (!mChargePending) return mTrace;
  std::string text;
  appendFormatted(text, "ip %d::%s ", mTracedIp, mnemonicOf(mTracedOpcode));
  text += mTrace;
  const double total = mChargedKeep + mChargedCost;
  appendFormatted(text, "   operator: %.10lf,keep %.10lf,total %.10lf", mChargedCost, mChargedKeep, total);
  return text;
}

void mCPU::chargeError() {
  const mPartsList* living = body();
  mTrace.clear();
  mChargePending = false;
  appendTrace("error happen // ip %d : size%d", mIp, mCodeSize);
  const double calorie = living ? living->totalCalorie() : parameters().mSeed_calorie;
  mAccount.addKeep(calorie);
  if (living) bookUpkeepByKind(living->upkeep());
  mAccount.addUsed(calorie);
  mAccount.spend(calorie);
}

void mCPU::appendTrace(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  appendFormatted(mTrace, format, arguments);
  va_end(arguments);
}

void mCPU::appendRegisterName(const char* lead) {
  mTrace += lead;
  mTrace += registerNameOf(mSelectedRegister);
}

// The template is the run of nop_0/nop_1 right after the instruction at ip.
int mCPU::templateLength() const {
  int length = 0;
  while (mIp + 1 + length < mCodeSize) {
    const int opcode = mCode[mIp + 1 + length];
    if (opcode != op::nop_0 && opcode != op::nop_1) break;
    ++length;
  }
  return length;
}

bool mCPU::complementAt(int start, int length) const {
  for (int k = 0; k < length; ++k) {
    if (mCode[start + k] != 1 - mCode[mIp + 1 + k]) return false;
  }
  return true;
}

// The instruction that ends the template can never start a match, so the search begins one
// further on. Answers the position of the match's last instruction.
int mCPU::searchForward() const {
  const int length = templateLength();
  if (length == 0) return kMissed;
  for (int start = mIp + length + 2; start <= mCodeSize - length; ++start) {
    if (complementAt(start, length)) return start + length - 1;
  }
  return kMissed;
}

// Windows end at ip - 1 at the latest: the jump itself and its template never take part.
int mCPU::searchBackward() const {
  const int length = templateLength();
  if (length == 0) return kMissed;
  for (int start = mIp - length; start >= 0; --start) {
    if (complementAt(start, length)) return start + length - 1;
  }
  return kMissed;
}

void mCPU::write(std::ostream& out) const {
  out << "/*mCPU start*/" << vek::kEol;
  mAccount.write(out);
  const std::string text = trace();
  out << (text.empty() ? "empty" : text) << vek::kEol;
  out << mIp << ' ' << mSelectedRegister << ' ' << mBreedCount << vek::kEol;
  for (double value : mRegisters) out << value << ' ';
  out << vek::kEol << mCallStack.size() << vek::kEol;
  for (int position : mCallStack) out << position << ' ';
  out << vek::kEol << mDataStack.size() << vek::kEol;
  for (double value : mDataStack) out << value << ' ';
  out << vek::kEol << "/*mCPU end*/" << vek::kEol;
}

namespace {
bool readCount(std::istream& in, int& count) {
  if (!vek::readInt(in, count)) return false;
  if (count >= 0 && count <= mCPU::kMaxReadStack) return true;
  vek::rejectValue(in, "a processor's stack holds " + std::to_string(count) + " entries (0 to " +
                           std::to_string(mCPU::kMaxReadStack) + " can be read)");
  return false;
}
}  // namespace

bool mCPU::read(std::istream& in) {
  vek::skipLine(in);
  mEnergy account;
  account.read(in);
  std::string trace;
  bool ok = !in.fail();
  ok = ok && vek::readLine(in, trace);
  if (trace == "empty") trace.clear();

  int ip = 0;
  int selectedRegister = 0;
  int breedCount = 0;
  std::array<double, kRegisterCount> registers{};
  ok = ok && vek::readInt(in, ip) && vek::readInt(in, selectedRegister) &&
       vek::readInt(in, breedCount);
  if (ok && (ip < 0 || breedCount < 0 || selectedRegister < 0 || selectedRegister >= kRegisterCount)) {
    vek::rejectValue(in, "a processor stands at ip " + std::to_string(ip) + " with register " +
                             std::to_string(selectedRegister) + " selected and " + std::to_string(breedCount) +
                             " children bred (ip and children are 0 or more, the register 0 to 9)");
    ok = false;
  }
  for (int index = 0; ok && index < kRegisterCount; ++index)
    ok = vek::readDouble(in, registers[index]);

  // Entries are pushed one by one as they are read, so a count that the file does not back
  // stops at the file's end instead of allocating for it.
  int count = 0;
  std::vector<int> callStack;
  ok = ok && readCount(in, count);
  for (int k = 0; ok && k < count; ++k) {
    int position = 0;
    ok = vek::readInt(in, position);
    if (ok && position < 0) {
      vek::rejectValue(in, "a processor's call stack holds the position " + std::to_string(position));
      ok = false;
    }
    callStack.push_back(position);
  }
  std::vector<double> dataStack;
  ok = ok && readCount(in, count);
  for (int k = 0; ok && k < count; ++k) {
    double value = 0;
    ok = vek::readDouble(in, value);
    dataStack.push_back(value);
  }
  if (!ok) {
    in.setstate(std::ios_base::failbit);
    return false;
  }
  vek::skipLine(in);

  if (mOwner) {
    mBoundGene = mOwner->cpuGene();
    mCode = mBoundGene ? mBoundGene->code().data() : nullptr;
    // The identifier names the gene's length; a hand-edited file may claim more than the gene
    // holds, and the processor must never read past the code.
    mCodeSize = std::max(0, mOwner->cpuIdentifierSize());
    if (mBoundGene) mCodeSize = std::min(mCodeSize, mBoundGene->size());
  }
  mAccount = account;
  mTrace = std::move(trace);
  mChargePending = false;
  mIp = ip;
  mSelectedRegister = selectedRegister;
  mBreedCount = breedCount;
  mRegisters = registers;
  mCallStack = std::move(callStack);
  mDataStack = std::move(dataStack);
  return true;
}
