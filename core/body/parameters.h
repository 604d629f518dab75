// Parameters: the 69 named values (3 int, 66 double) that every part of the simulation reads
// at its point of use, so a value read from a file takes effect at its next use. Field names
// are the parameter keys; the 32 instruction costs (keys "mCPU_energy_" + long name) are held
// in `mCPU_energy`, indexed by opcode.
//
// A plain value: each world's place owns one (engine/place.h), and the simulation reaches it
// through its owners; nothing here is shared between worlds. The file functions below work on
// any Parameters object.
//
// Thread-safety: none. A world's parameters are read and written under that world's mutex.
#pragma once

#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "base/instructions.h"
#include "base/random.h"

struct Parameters {
  int mDaughter_log_turn = 10000;
  double mField_daylight = 0.1285714285714286;
  double mEdge_keep_calorie = 2.0;
  double mLeaf_keep_calorie = 1.0;
  double mFlower_keep_calorie = 0.01;
  double mEdge_calorie = 1.0;
  double mEdge_radius = 0.5;
  double mLeaf_calorie = 1.0;
  double mFlower_calorie = 100.0;
  double mSeed_calorie = 1.0;
  double mSeed_keep_calorie = 1.0;
  double mSeed_volume = 10.0;
  int mField_N = 1000;
  double mField_min_x = -40.0;
  double mField_min_y = -40.0;
  double mField_haba = 0.08;
  double mField_downsize = 0.7;
  double mField_capacity = 0.5;
  double mGene_vectorVariation = 0.02;
  double mGene_sizeVariation = 0.02;
  double mGene_operatorVariation = 0.05;
  double mGene_operatorRandomVariation = 0.9;
  double mSeedList_delete_factorial = 2.0;
  double mSeedList_random_delete_probability = 0.003;
  int mSeedList_min_random_delete_number = 100;
  double mMother_makeSpecial = 0.5;
  double mGene_maxFatherEffect = 0.5;
  double mSeedList_maxFatherDistance = 100.0;
  double mSeedList_min_r = 0.001;
  double mPartsList_tolerance_energy = 10.0;
  double mSeed_initialEvaluationValue = 1.0;
  double mCPU_adjust_hight = 1.5;
  double mCPU_hight_variance = 1.0;
  double mCPU_adjust_phy = kPi / 6.0;
  double mCPU_adjust_theta = kPi / 6.0;
  // Carried through the file only: the costs copy the built-in base once, here.
  double mCPU_energy_base = 1.0;
  double mCPU_energy[kInstructionCount];
  double mSeed_turn_effect = 1.5;

  // The built-in defaults.
  constexpr Parameters() {
    for (double& cost : mCPU_energy) cost = mCPU_energy_base;
  }
  bool operator==(const Parameters&) const = default;
};

// The built-in defaults, for what has no world around it (a part or processor without owner).
inline constexpr Parameters kBuiltInParameters{};

// One key of the parameter file: which value of a Parameters object it names.
struct ParameterKey {
  std::string name;
  int Parameters::*intValue = nullptr;        // for the three integers
  double Parameters::*doubleValue = nullptr;  // for the other doubles
  int costCode = -1;                          // for an instruction cost: its opcode

  bool isInteger() const { return intValue != nullptr; }
  double get(const Parameters& p) const;
  // An integer key takes the value truncated and clamped to the 32-bit range.
  void set(Parameters& p, double value) const;
};

// Every key in the order of the file.
std::vector<ParameterKey> parameterKeys();
// The key of that name, if there is one.
std::optional<ParameterKey> findParameterKey(std::string_view name);

// Writes the whole set as the parameter file: 80 lines with CR LF ends, CP932 comments.
std::string parameterFileText(const Parameters& p);
// Writes `directory` + "parameter.pini" (no separator inserted), replacing it atomically.
// Returns false when the file could not be written; nothing is reported to the user.
bool writeParameterFile(const Parameters& p, const std::string& directory);

// Applies the lines of a parameter file to `p`: every line that is not a comment sets each
// key that it names as a whole word to the number at the line's start. A final line without
// a line end is not applied. Keys the file does not set keep their values.
void readParameters(Parameters& p, std::istream& in);
// Reads `name` when `nameIsFile`, else `name` + "parameter.pini". Returns false when the file
// could not be opened (nothing changes then).
bool readParameterFile(Parameters& p, const std::string& name, bool nameIsFile);
