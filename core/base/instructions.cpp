#include "base/instructions.h"

namespace {

struct InstructionName {
  const char* mnemonic;
  const char* word;
  const char* longName;
};

constexpr InstructionName kNames[kInstructionCount] = {
    {"nop0", "nop0", "nop_0"},
    {"nop1", "nop1", "nop_1"},
    {"gsep", "gsep", "gene_separate"},
    {"ifcz", "ifcz", "if_counter_zero"},
    {"jmpf", "jmpf", "jump_forward"},
    {"jmpb", "jmpb", "jump_back"},
    {"call", "call", "call"},
    {"ret ", "ret", "ret"},
    {"push", "push", "push"},
    {"pop ", "pop", "pop"},
    {"shl ", "shl", "shift_left"},
    {"shr ", "shr", "shift_right"},
    {"inc ", "inc", "increment"},
    {"dec ", "dec", "decrement"},
    {"zero", "zero", "zero"},
    {"cute", "cute", "cut_edge"},
    {"s_fn", "s_fn", "set_flower_number"},
    {"s_ln", "s_ln", "set_leaf_number"},
    {"s_fe", "s_fe", "set_flower_energy"},
    {"s_le", "s_le", "set_leaf_energy"},
    {"s_nn", "s_nn", "set_node_number"},
    {"s_en", "s_en", "set_edge_number"},
    {"s_ph", "s_ph", "set_phy"},
    {"s_th", "s_th", "set_theta"},
    {"s_r ", "s_r", "set_r"},
    {"s_ct", "s_ct", "set_counter"},
    {"makf", "makf", "make_flower"},
    {"makl", "makl", "make_leaf"},
    {"makn", "makn", "make_node"},
    {"grwf", "grwf", "grow_flower"},
    {"grwl", "grwl", "grow_leaf"},
    {"bred", "bred", "breed_flower"},
};

constexpr const char* kRegisterNames[kRegisterCount] = {
    "r  ", "th ", "ph ", "f_n", "l_n", "n_n", "e_n", "f_e", "l_e", "co",
};

}  // namespace

const char* mnemonicOf(int code) { return kNames[code].mnemonic; }
const char* wordOf(int code) { return kNames[code].word; }
const char* longNameOf(int code) { return kNames[code].longName; }

std::string paddedLongNameOf(int code) {
  std::string name = kNames[code].longName;
  if (name.size() < kLongNameWidth) name.resize(kLongNameWidth, ' ');
  return name;
}

const char* registerNameOf(int index) { return kRegisterNames[index]; }

int recognizeWord(std::string_view word) {
  for (int code = 0; code < kInstructionCount; ++code) {
    if (word == kNames[code].word || word == paddedLongNameOf(code) ||
        word == kNames[code].mnemonic)
      return code;
  }
  return -1;
}
