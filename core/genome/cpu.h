// mCPU: the virtual processor of one individual. Each `step` executes one instruction of the
// individual's gene: control, stack and register arithmetic change the processor's own state;
// the body instructions ask the individual's body (mPartsList) to grow, shrink or breed. Every
// step charges its cost plus the whole body's upkeep to the energy account, and leaves a one-line
// trace of what happened for the views.
//
// Ownership: the processor owns its energy account, its registers and its two stacks. It
// belongs to its individual (through mCPUOwner), whose gene and body it only uses: the gene's
// code is borrowed for the processor's lifetime, the body is asked for anew at every use.
//
// Thread-safety: none. It runs on the world's thread, under the world's mutex, when its
// individual is executed; readers (views) hold the same mutex.
#pragma once

#include <array>
#include <vector>
#include <istream>
#include <ostream>
#include <string>

#include "body/energy.h"
#include "body/parts_list.h"
#include "base/object.h"
#include "base/instructions.h"

class mGene;
class mPoint3D;
struct Parameters;

// How the population's side of breeding a flower ended.
enum class mBreedResult {
  kBorn,           // a child was made and handed to the population
  kLandedOutside,  // the seed's flight ended outside the field: no child
};

// What the processor needs of the individual that owns it. Implemented by the individual
// (mSeed); tests use small fakes. Called on the world's thread during `step` and `read`.
class mCPUOwner {
 public:
  virtual ~mCPUOwner() = default;
  // The parameters of the individual's world (instruction costs, angle units); they outlive
  // the processor.
  virtual const Parameters& cpuParameters() const = 0;
  // The individual's body, or nullptr while it has none; then the processor charges the
  // upkeep of an empty body and every body instruction fails.
  virtual mPartsList* cpuBody() const = 0;
  // The individual's gene, or nullptr while it has none (an individual still being read).
  virtual const mGene* cpuGene() const = 0;
  // The first number of the individual's own identifier: its gene's length at birth.
  virtual int cpuIdentifierSize() const = 0;
  // True when the individual lives in a population; only then can a flower bear a child.
  virtual bool cpuInPopulation() const = 0;
  // Breeds a child from a flower that has just been emptied: the seed's flight from
  // `flowerPosition`, the father, the child gene and the newborn, whose initial energy is
  // `energy` (the calorie content the flower had). Called only when cpuInPopulation() is true.
  // May throw BodyParseError (body/parts_list.h) when the newborn's body cannot be laid out;
  // the processor puts its text into the trace.
  virtual mBreedResult cpuBreed(const mPoint3D& flowerPosition, double energy) = 0;
};

// A register value used as an index: truncated toward zero; NaN and values outside the 32-bit
// range give -2147483648, as the x86 truncating conversion does.
int registerToIndex(double value);

class mCPU : public mObject {
 public:
  // Stack counts beyond this in a saved block are taken for a damaged file.
  static constexpr int kMaxReadStack = 1 << 24;

  // A processor for `owner` (which may be nullptr: a processor with no code and no body). It
  // takes the owner's gene now; registers, stacks, ip, selected register and breedCount are 0.
  explicit mCPU(mCPUOwner* owner);
  mCPU(const mCPU&) = delete;
  mCPU& operator=(const mCPU&) = delete;

  // Executes one instruction, or charges the error penalty when ip is outside the code or the
  // opcode is not an instruction (ip then restarts at 0, respectively moves on by one).
  void step();
  // A hint to the cache before a step, once the processor's record is there: the instruction
  // the step will read.
  void prefetchCode() const {
    if (mIp >= 0 && mIp < mCodeSize) __builtin_prefetch(mCode + mIp);
  }

  int ip() const { return mIp; }
  int codeSize() const { return mCodeSize; }
  int selectedRegister() const { return mSelectedRegister; }
  const std::array<double, kRegisterCount>& registers() const { return mRegisters; }
  // Puts a value into a register (tests, tools); index 0..9.
  void setRegister(int index, double value) { mRegisters[index] = value; }
  std::string trace() const;
  int breedCount() const { return mBreedCount; }
  const std::vector<int>& callStack() const { return mCallStack; }     // bottom first
  const std::vector<double>& dataStack() const { return mDataStack; }  // bottom first
  mEnergy& energy() { return mAccount; }
  const mEnergy& energy() const { return mAccount; }
  const mGene* gene() const { return mBoundGene; }

  // The block: "/*mCPU start*/", the energy block, the trace ("empty" when empty), "ip
  // selected breedCount", the ten registers, the call stack's count and entries, the data
  // stack's count and entries (bottom first, each followed by a blank), "/*mCPU end*/"; CR LF
  // line ends, doubles in the stream's current format. The stacks are left as they were.
  void write(std::ostream& out) const;
  // Reads a block written by `write`; frame lines are skipped unread. With an owner, the gene
  // is bound anew and the code size becomes the owner's identifier size, never more than the
  // gene's length. Returns false, fails the stream and leaves the processor unchanged when the
  // block is truncated, holds a non-number, a selected register outside 0..9 or a stack count
  // outside 0..kMaxReadStack.
  bool read(std::istream& in);

 private:
  // A handler runs one instruction and answers what a successful growth adds to the
  // instruction's cost; `step` then charges it.
  using Handler = double (mCPU::*)();
  struct Instruction {
    int opcode;  // also the instruction's cost key: mCPU_energy[opcode]
    Handler handler;
  };
  static const Instruction kInstructions[kInstructionCount];
  static constexpr int kMissed = -2;  // a template search that found nothing

  void charge(int opcode, double cost);
  void chargeError();
  void bookUpkeepByKind(const mPartsList::Upkeep& upkeep);
  void appendTrace(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void appendRegisterName(const char* lead);
  double& selected() { return mRegisters[mSelectedRegister]; }
  mPartsList* body() const;
  // The owner's parameters; the built-in defaults without an owner.
  const Parameters& parameters() const;

  int templateLength() const;
  bool complementAt(int start, int length) const;
  int searchForward() const;
  int searchBackward() const;

  // Control, stack and register arithmetic (cpu_control.cpp).
  double nothing();
  double ifCounterZero();
  double jumpTo(int target);  // a missed search falls through
  double jumpForward();
  double jumpBack();
  double call();
  double ret();
  double push();
  double pop();
  double shiftLeft();
  double shiftRight();
  double increment();
  double decrement();
  double zero();

  // Setting and body instructions (cpu_body.cpp).
  template <int kRegister>
  double select() {
    mSelectedRegister = kRegister;
    return 0.0;
  }
  double cutEdge();
  double makeFlower();
  double makeLeaf();
  double makeNode();
  double growFlower();
  double growLeaf();
  double breedFlower();
  // The new edge's angles: the angle registers in units of the adjusting parameters.
  double theta() const;
  double phi() const;

  int mBreedCount = 0;
  int mCodeSize = 0;
  const int* mCode = nullptr;  // the gene's opcodes, mCodeSize of them
  const mGene* mBoundGene = nullptr;
  mEnergy mAccount;
  mCPUOwner* mOwner = nullptr;
  // The trace between its "ip %d::%s " lead and its charge text. While a charge is pending the
  // lead and the "   operator: ..." tail are formatted only when the trace is read or
  // written: printing them for every executed instruction would cost more than the
  // instruction itself. Without a pending charge (an error step, a trace read from a file)
  // mTrace is the whole trace.
  std::string mTrace;
  int mTracedIp = 0;
  int mTracedOpcode = 0;
  bool mChargePending = false;
  double mChargedCost = 0;
  double mChargedKeep = 0;
  std::vector<double> mDataStack;
  std::vector<int> mCallStack;
  int mSelectedRegister = 0;
  int mIp = 0;
  std::array<double, kRegisterCount> mRegisters{};
};
