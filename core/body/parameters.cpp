#include "body/parameters.h"

#include <cctype>
#include <fstream>
#include <sstream>
#include <vector>

#include "base/random.h"
#include "base/cp932.h"
#include "base/text_io.h"

Parameters gParam;

Parameters::Parameters()
    : mCPU_adjust_phy(kPi / 6.0), mCPU_adjust_theta(kPi / 6.0) {
  for (double& cost : mCPU_energy) cost = mCPU_energy_base;
}

namespace {

// One line of the parameter file. `middle` is what stands between the value and the comment.
struct ParameterEntry {
  std::string key;
  int* intValue;
  double* doubleValue;
  std::string middle;
  std::string comment;  // UTF-8; written as CP932
  bool ruleAfter;
};

std::vector<ParameterEntry> buildEntries() {
  Parameters& p = gParam;
  std::vector<ParameterEntry> e;
  auto i = [&](const char* key, int& v, const char* comment, bool rule = false) {
    e.push_back({key, &v, nullptr, std::string(" ") + key + " //", comment, rule});
  };
  auto d = [&](const char* key, double& v, const char* comment, bool rule = false) {
    e.push_back({key, nullptr, &v, std::string(" ") + key + " //", comment, rule});
  };
  auto odd = [&](const char* key, double& v, const char* middle, const char* comment,
                 bool rule = false) { e.push_back({key, nullptr, &v, middle, comment, rule}); };

  i("mDaughter_log_turn", p.mDaughter_log_turn, "重点的にログを取るためのターン");
  d("mField_daylight", p.mField_daylight, "ひとつの格子に与えるエネルギー量");
  d("mEdge_keep_calorie", p.mEdge_keep_calorie, "枝の単位カロリーあたりの維持カロリー");
  d("mLeaf_keep_calorie", p.mLeaf_keep_calorie, "葉の単位カロリーあたりの維持カロリー");
  d("mFlower_keep_calorie", p.mFlower_keep_calorie, "花の単位カロリーあたりの維持カロリー", true);
  d("mEdge_calorie", p.mEdge_calorie, "枝の単位体積あたりのカロリー");
  d("mEdge_radius", p.mEdge_radius, "枝の半径");
  d("mLeaf_calorie", p.mLeaf_calorie, "葉の単位体積あたりのカロリー");
  d("mFlower_calorie", p.mFlower_calorie, "花の単位体積あたりのカロリー");
  d("mSeed_calorie", p.mSeed_calorie, "シードの単位体積あたりのカロリー");
  odd("mSeed_keep_calorie", p.mSeed_keep_calorie, " mSeed_keep_calorie//", "シードの維持カロリー");
  d("mSeed_volume", p.mSeed_volume, "シードの体積", true);
  i("mField_N", p.mField_N, "フィールド内部の格子の数");
  d("mField_min_x", p.mField_min_x, "フィールドのx方向の最小値");
  d("mField_min_y", p.mField_min_y, "フィールドのy方向の最小値");
  d("mField_haba", p.mField_haba, "格子の幅");
  d("mField_downsize", p.mField_downsize, "一つの要素でどれだけエネルギーが下がるか");
  d("mField_capacity", p.mField_capacity, "占有率の許容値", true);
  d("mGene_vectorVariation", p.mGene_vectorVariation, "vectorレベルの突然変異");
  d("mGene_sizeVariation", p.mGene_sizeVariation, "sizeレベルの突然変異");
  d("mGene_operatorVariation", p.mGene_operatorVariation, "operatorの突然変異");
  d("mGene_operatorRandomVariation", p.mGene_operatorRandomVariation,
    "operatorのビットによらない突然変異", true);
  d("mSeedList_delete_factorial", p.mSeedList_delete_factorial,
    "シードリストがいっぱいになったときに削除するときの確率についてのパラメーター（一位のと最下位との比率）");
  d("mSeedList_random_delete_probability", p.mSeedList_random_delete_probability,
    "シードリストの中でランダムに消える個体の割合");
  i("mSeedList_min_random_delete_number", p.mSeedList_min_random_delete_number,
    "シードリストの中のシードがこの数を超えたらランダムに消すことが起こる", true);
  d("mMother_makeSpecial", p.mMother_makeSpecial, "生まれたばかりのシードがスペシャルになるかどうか");
  d("mGene_maxFatherEffect", p.mGene_maxFatherEffect, "fatherの最大寄与率");
  d("mSeedList_maxFatherDistance", p.mSeedList_maxFatherDistance, "fatherまでの最大距離の2乗");
  d("mSeedList_min_r", p.mSeedList_min_r, "r　を使用する際の最小値");
  d("mPartsList_tolerance_energy", p.mPartsList_tolerance_energy,
    "無意味なエネルギー使用を禁止するための値（current enrgyとこの値の積以上の値のエネルギーは一度に使えない）",
    true);
  d("mSeed_initialEvaluationValue", p.mSeed_initialEvaluationValue,
    "シードのとりあえずの初期評価値(多分利用されない)", true);
  odd("mCPU_adjust_hight", p.mCPU_adjust_hight, " mCPU_adjust_hight   // ",
      "次のシードの飛ぶ範囲の平均値を決定する要因");
  odd("mCPU_hight_variance", p.mCPU_hight_variance, " mCPU_hight_variance // ",
      "飛ぶ範囲の分散を決定(平均値掛けるこの値がVarianceになる)", true);
  odd("mCPU_adjust_phy", p.mCPU_adjust_phy, " mCPU_adjust_phy  //",
      "phyのレジスタと実際の値との変換率");
  odd("mCPU_adjust_theta", p.mCPU_adjust_theta, " mCPU_adjust_theta//",
      "thetaのレジスタと実際の値との変換率", true);
  d("mCPU_energy_base", p.mCPU_energy_base, "mCPUの命令群のエネルギー使用料の基本値");
  for (int code = 0; code < kInstructionCount; ++code) {
    const std::string key = std::string("mCPU_energy_") + longNameOf(code);
    // The file has always spelt this one comment without its first underscore.
    const std::string name = code == op::set_edge_number ? "setedge_number" : longNameOf(code);
    e.push_back({key, nullptr, &p.mCPU_energy[code], " " + key + " //", name + "のエネルギー",
                 code == kInstructionCount - 1});
  }
  d("mSeed_turn_effect", p.mSeed_turn_effect, "評価値を決めるときのturnの効き方");
  return e;
}

const std::vector<ParameterEntry>& entries() {
  static const std::vector<ParameterEntry> table = buildEntries();
  return table;
}

// True when `key` stands in `line` not followed by a letter, digit or underscore.
bool namesKey(const std::string& line, const std::string& key) {
  for (size_t at = line.find(key); at != std::string::npos; at = line.find(key, at + 1)) {
    const size_t after = at + key.size();
    if (after >= line.size()) return true;
    const unsigned char c = static_cast<unsigned char>(line[after]);
    if (!std::isalnum(c) && c != '_') return true;
  }
  return false;
}

}  // namespace

std::string parameterFileText() {
  std::ostringstream out;
  vek::useWorldNumberFormat(out);
  out << "/*-----------parameter.txt-----------*/" << vek::kEol;
  for (const ParameterEntry& entry : entries()) {
    if (entry.intValue) out << *entry.intValue;
    else out << *entry.doubleValue;
    out << entry.middle << vek::toCp932(entry.comment) << vek::kEol;
    if (entry.ruleAfter)
      out << "//----------------------------//" << vek::kEol;
  }
  return out.str();
}

bool writeParameterFile(const std::string& directory) {
  return vek::writeFileAtomically(directory + "parameter.pini", parameterFileText());
}

void readParameters(std::istream& in) {
  std::string line;
  while (vek::readLine(in, line)) {
    if (line.empty() || line[0] == '/') continue;
    for (const ParameterEntry& entry : entries()) {
      if (!namesKey(line, entry.key)) continue;
      if (entry.intValue) vek::parseLeadingInt(line, *entry.intValue);
      else vek::parseLeadingDouble(line, *entry.doubleValue);
    }
  }
}

bool readParameterFile(const std::string& name, bool nameIsFile) {
  std::ifstream in(nameIsFile ? name : name + "parameter.pini", std::ios::binary);
  if (!in) return false;
  readParameters(in);
  return true;
}
