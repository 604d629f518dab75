#include "body/energy.h"

#include <cstdio>

#include "base/text_io.h"

void mEnergy::addUsage(int code, double e) {
  if (isOpcode(code)) mUsage[code] += e;
}

double mEnergy::usageOf(int code) const { return isOpcode(code) ? mUsage[code] : -1.0; }

void mEnergy::accumulate(const mEnergy* other) {
  if (!other) return;
  mCurrent += other->mCurrent;
  mKeep += other->mKeep;
  mTotal += other->mTotal;
  mUsed += other->mUsed;
  for (int code = 0; code < kInstructionCount; ++code) mUsage[code] += other->mUsage[code];
}

void mEnergy::divideBy(int n) {
  if (n < 1) return;
  mCurrent /= n;
  mKeep /= n;
  mTotal /= n;
  mUsed /= n;
  for (double& usage : mUsage) usage /= n;
}

void mEnergy::reset() { *this = mEnergy(); }

namespace {
void appendLine(std::string& text, const char* format, double value) {
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, format, value);
  text += buffer;
}
}  // namespace

std::string mEnergy::report() const {
  using namespace op;
  std::string text;
  appendLine(text, "edge %.10lf\r\n", mUsage[make_node] + mUsage[set_edge_number] + mUsage[cut_edge]);
  appendLine(text, "leaf %.10lf\r\n",
             mUsage[grow_leaf] + mUsage[make_leaf] + mUsage[set_leaf_energy] + mUsage[set_leaf_number]);
  appendLine(text, "flower %.10lf\r\n",
             mUsage[breed_flower] + mUsage[grow_flower] + mUsage[make_flower] +
                 mUsage[set_flower_energy] + mUsage[set_flower_number]);
  text += "\r\n";
  appendLine(text, "current %.10lf\r\n", mCurrent);
  appendLine(text, "total %.10lf\r\n", mTotal);
  appendLine(text, "used %.10lf\r\n", mUsed);
  appendLine(text, "keep %.10lf\r\n", mKeep);
  text += "\r\n";
  for (int code = 0; code < kInstructionCount; ++code) {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%s %.10lf\r\n", mnemonicOf(code), mUsage[code]);
    text += buffer;
  }
  return text;
}

void mEnergy::write(std::ostream& out) const {
  out << "/*mEnergy start*/" << vek::kEol << mCurrent << ' ' << mKeep << ' ' << mTotal << ' '
      << mUsed << vek::kEol;
  for (double usage : mUsage) out << usage << ' ';
  out << vek::kEol << "/*mEnergy end*/" << vek::kEol;
}

void mEnergy::read(std::istream& in) {
  vek::skipLine(in);
  bool ok = vek::readDouble(in, mCurrent) && vek::readDouble(in, mKeep) &&
            vek::readDouble(in, mTotal) && vek::readDouble(in, mUsed);
  for (int code = 0; ok && code < kInstructionCount; ++code) ok = vek::readDouble(in, mUsage[code]);
  vek::skipLine(in);
}
