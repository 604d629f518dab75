// The process-wide parameter set: 69 named values (3 int, 66 double) that every part of the
// simulation reads at its point of use, so a value read from a file takes effect at its next
// use. Field names are the parameter keys; the 32 instruction costs
// (keys "mCPU_energy_" + long name) are held in `mCPU_energy`, indexed by opcode.
//
// Thread-safety: the world's mutex guards reads during a step; only the file reader (called
// while the world is parked) writes after start-up.
#pragma once

#include <istream>
#include <ostream>
#include <string>

#include "base/instructions.h"

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
  double mCPU_adjust_phy;    // pi / 6
  double mCPU_adjust_theta;  // pi / 6
  // Carried through the file only: the costs copy its start-up value once, at construction.
  double mCPU_energy_base = 1.0;
  double mCPU_energy[kInstructionCount];
  double mSeed_turn_effect = 1.5;

  Parameters();  // the built-in defaults
};

// The one parameter set of the program.
extern Parameters gParam;

// Writes the whole set as the parameter file: 80 lines with CR LF ends, CP932 comments.
std::string parameterFileText();
// Writes `directory` + "parameter.pini" (no separator inserted), replacing it atomically.
// Returns false when the file could not be written; nothing is reported to the user.
bool writeParameterFile(const std::string& directory);

// Applies the lines of a parameter file: every line that is not a comment sets each key that
// it names as a whole word to the number at the line's start. A final line without a line end
// is not applied.
void readParameters(std::istream& in);
// Reads `name` when `nameIsFile`, else `name` + "parameter.pini". Returns false when the file
// could not be opened (nothing changes then).
bool readParameterFile(const std::string& name, bool nameIsFile);
