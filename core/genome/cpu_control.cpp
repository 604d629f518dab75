// The processor's control, stack and register-arithmetic instructions. Each appends its text to
// the trace; `step` charges it afterwards and moves ip on by one, so a handler that jumps leaves
// ip on the instruction just before the one that is to run next.
#include "genome/cpu.h"

double mCPU::nothing() { return 0.0; }

double mCPU::ifCounterZero() {
  const double counter = mRegisters[kCounter];
  if (counter > -0.5 && counter < 0.5) {
    mTrace += "with next";
  } else {
    mTrace += "step next";
    ++mIp;
  }
  return 0.0;
}

double mCPU::jumpTo(int target) {
  if (target == kMissed) {
    mTrace += "miss jump";
  } else {
    mTrace += "sucess jump";
    mIp = target;
  }
  return 0.0;
}

double mCPU::jumpForward() { return jumpTo(searchForward()); }

double mCPU::jumpBack() { return jumpTo(searchBackward()); }

double mCPU::call() {
  int target = searchForward();
  if (target == kMissed) target = searchBackward();
  if (target == kMissed) {
    mTrace += "miss jump";
  } else {
    mTrace += "sucess jump";
    mCallStack.push_back(mIp);
    mIp = target;
  }
  return 0.0;
}

// Execution goes on right after the call, so the call's template runs as no-operations.
double mCPU::ret() {
  if (mCallStack.empty()) {
    mTrace += "cannot return";
  } else {
    mIp = mCallStack.back();
    mCallStack.pop_back();
    appendTrace("with next %d", mIp);
  }
  return 0.0;
}

double mCPU::push() {
  mDataStack.push_back(selected());
  appendRegisterName("with ");
  return 0.0;
}

double mCPU::pop() {
  if (mDataStack.empty()) {
    mTrace += "empty stack";
  } else {
    selected() = mDataStack.back();
    mDataStack.pop_back();
    appendRegisterName("with ");
  }
  return 0.0;
}

double mCPU::shiftLeft() {
  selected() = selected() + selected();
  appendRegisterName("with ");
  return 0.0;
}

double mCPU::shiftRight() {
  selected() = selected() * 0.5;
  appendRegisterName("with ");
  return 0.0;
}

double mCPU::increment() {
  selected() = selected() + 1.0;
  appendRegisterName("with ");
  return 0.0;
}

// Counts and energies cannot go below nothing; lengths, angles and the counter can.
double mCPU::decrement() {
  selected() = selected() - 1.0;
  const bool signedRegister = mSelectedRegister == kR || mSelectedRegister == kTheta ||
                              mSelectedRegister == kPhi || mSelectedRegister == kCounter;
  if (!signedRegister && selected() < 0.0) {
    selected() = 0.0;
    appendRegisterName(" and seto to 0 with ");
  } else {
    appendRegisterName("with ");
  }
  return 0.0;
}

double mCPU::zero() {
  selected() = 0.0;
  appendRegisterName("with ");
  return 0.0;
}
