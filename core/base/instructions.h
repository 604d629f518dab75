// The processor's vocabulary: 32 opcodes with their display mnemonics, the words by which a
// text file names them, their long names (which also form the cost keys), and the ten
// registers. Read-only tables, fixed at compile time; any thread may read them.
#pragma once

#include <string>
#include <string_view>

inline constexpr int kInstructionCount = 32;
inline constexpr int kRegisterCount = 10;
inline constexpr int kLongNameWidth = 18;

// Opcodes by their long names: op::make_leaf is 27.
namespace op {
enum Opcode : int {
  nop_0 = 0, nop_1, gene_separate, if_counter_zero, jump_forward, jump_back, call, ret,
  push, pop, shift_left, shift_right, increment, decrement, zero, cut_edge,
  set_flower_number, set_leaf_number, set_flower_energy, set_leaf_energy, set_node_number,
  set_edge_number, set_phy, set_theta, set_r, set_counter,
  make_flower, make_leaf, make_node, grow_flower, grow_leaf, breed_flower,
};
}  // namespace op

// Register indices; note that set_phy selects kPhi (2) and set_theta kTheta (1).
enum Register : int {
  kR = 0, kTheta, kPhi, kFlowerNumber, kLeafNumber, kNodeNumber, kEdgeNumber,
  kFlowerEnergy, kLeafEnergy, kCounter,
};

inline bool isOpcode(int code) { return code >= 0 && code < kInstructionCount; }

// The four-character display mnemonic ("ret " with its blank). Requires isOpcode(code).
const char* mnemonicOf(int code);
// The mnemonic as a word, without the trailing blank of the three-letter ones ("ret").
const char* wordOf(int code);
// The long name without padding ("nop_0"); the cost key is "mCPU_energy_" + this.
const char* longNameOf(int code);
// The long name as the long-name table holds it, padded with blanks to 18 characters.
std::string paddedLongNameOf(int code);
// The register's name: three characters ("r  ", "th "), except "co".
const char* registerNameOf(int index);

// The opcode a word of a text file names: for opcode 0, 1, ... 31 the word is compared,
// byte for byte, with the word-table entry, the padded long name and the mnemonic; the
// first match wins. Returns -1 when nothing matches (recognition is case-sensitive).
int recognizeWord(std::string_view word);
