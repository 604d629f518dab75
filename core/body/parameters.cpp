#include "body/parameters.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <fstream>
#include <sstream>

#include "base/cp932.h"
#include "base/text_io.h"

namespace {

// One line of the parameter file: its key, what stands between the value and the comment,
// the comment (UTF-8; written as CP932) and whether a rule line follows.
struct FileLine {
  ParameterKey key;
  std::string middle;
  std::string comment;
  bool ruleAfter;
};

std::vector<FileLine> fileLines() {
  std::vector<FileLine> e;
  auto i = [&](const char* key, int Parameters::*v, const char* comment, bool rule = false) {
    e.push_back({{key, v, nullptr}, std::string(" ") + key + " //", comment, rule});
  };
  auto d = [&](const char* key, double Parameters::*v, const char* comment, bool rule = false) {
    e.push_back({{key, nullptr, v}, std::string(" ") + key + " //", comment, rule});
  };
  auto odd = [&](const char* key, double Parameters::*v, const char* middle, const char* comment,
                 bool rule = false) { e.push_back({{key, nullptr, v}, middle, comment, rule}); };
  using P = Parameters;

  i("mDaughter_log_turn", &P::mDaughter_log_turn, "重点的にログを取るためのターン");
  d("mField_daylight", &P::mField_daylight, "ひとつの格子に与えるエネルギー量");
  d("mEdge_keep_calorie", &P::mEdge_keep_calorie, "枝の単位カロリーあたりの維持カロリー");
  d("mLeaf_keep_calorie", &P::mLeaf_keep_calorie, "葉の単位カロリーあたりの維持カロリー");
  d("mFlower_keep_calorie", &P::mFlower_keep_calorie, "花の単位カロリーあたりの維持カロリー", true);
  d("mEdge_calorie", &P::mEdge_calorie, "枝の単位体積あたりのカロリー");
  d("mEdge_radius", &P::mEdge_radius, "枝の半径");
  d("mLeaf_calorie", &P::mLeaf_calorie, "葉の単位体積あたりのカロリー");
  d("mFlower_calorie", &P::mFlower_calorie, "花の単位体積あたりのカロリー");
  d("mSeed_calorie", &P::mSeed_calorie, "シードの単位体積あたりのカロリー");
  odd("mSeed_keep_calorie", &P::mSeed_keep_calorie, " mSeed_keep_calorie//", "シードの維持カロリー");
  d("mSeed_volume", &P::mSeed_volume, "シードの体積", true);
  i("mField_N", &P::mField_N, "フィールド内部の格子の数");
  d("mField_min_x", &P::mField_min_x, "フィールドのx方向の最小値");
  d("mField_min_y", &P::mField_min_y, "フィールドのy方向の最小値");
  d("mField_haba", &P::mField_haba, "格子の幅");
  d("mField_downsize", &P::mField_downsize, "一つの要素でどれだけエネルギーが下がるか");
  d("mField_capacity", &P::mField_capacity, "占有率の許容値", true);
  d("mGene_vectorVariation", &P::mGene_vectorVariation, "vectorレベルの突然変異");
  d("mGene_sizeVariation", &P::mGene_sizeVariation, "sizeレベルの突然変異");
  d("mGene_operatorVariation", &P::mGene_operatorVariation, "operatorの突然変異");
  d("mGene_operatorRandomVariation", &P::mGene_operatorRandomVariation,
    "operatorのビットによらない突然変異", true);
  d("mSeedList_delete_factorial", &P::mSeedList_delete_factorial,
    "シードリストがいっぱいになったときに削除するときの確率についてのパラメーター（一位のと最下位との比率）");
  d("mSeedList_random_delete_probability", &P::mSeedList_random_delete_probability,
    "シードリストの中でランダムに消える個体の割合");
  i("mSeedList_min_random_delete_number", &P::mSeedList_min_random_delete_number,
    "シードリストの中のシードがこの数を超えたらランダムに消すことが起こる", true);
  d("mMother_makeSpecial", &P::mMother_makeSpecial, "生まれたばかりのシードがスペシャルになるかどうか");
  d("mGene_maxFatherEffect", &P::mGene_maxFatherEffect, "fatherの最大寄与率");
  d("mSeedList_maxFatherDistance", &P::mSeedList_maxFatherDistance, "fatherまでの最大距離の2乗");
  d("mSeedList_min_r", &P::mSeedList_min_r, "r　を使用する際の最小値");
  d("mPartsList_tolerance_energy", &P::mPartsList_tolerance_energy,
    "無意味なエネルギー使用を禁止するための値（current enrgyとこの値の積以上の値のエネルギーは一度に使えない）",
    true);
  d("mSeed_initialEvaluationValue", &P::mSeed_initialEvaluationValue,
    "シードのとりあえずの初期評価値(多分利用されない)", true);
  odd("mCPU_adjust_hight", &P::mCPU_adjust_hight, " mCPU_adjust_hight   // ",
      "次のシードの飛ぶ範囲の平均値を決定する要因");
  odd("mCPU_hight_variance", &P::mCPU_hight_variance, " mCPU_hight_variance // ",
      "飛ぶ範囲の分散を決定(平均値掛けるこの値がVarianceになる)", true);
  odd("mCPU_adjust_phy", &P::mCPU_adjust_phy, " mCPU_adjust_phy  //", "phyのレジスタと実際の値との変換率");
  odd("mCPU_adjust_theta", &P::mCPU_adjust_theta, " mCPU_adjust_theta//",
      "thetaのレジスタと実際の値との変換率", true);
  d("mCPU_energy_base", &P::mCPU_energy_base, "mCPUの命令群のエネルギー使用料の基本値");
  for (int code = 0; code < kInstructionCount; ++code) {
    const std::string key = std::string("mCPU_energy_") + longNameOf(code);
    // The file has always spelt this one comment without its first underscore.
    const std::string name = code == op::set_edge_number ? "setedge_number" : longNameOf(code);
    e.push_back({{key, nullptr, nullptr, code}, " " + key + " //", name + "のエネルギー",
                 code == kInstructionCount - 1});
  }
  d("mSeed_turn_effect", &P::mSeed_turn_effect, "評価値を決めるときのturnの効き方");
  return e;
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

double ParameterKey::get(const Parameters& p) const {
  if (intValue) return p.*intValue;
  if (doubleValue) return p.*doubleValue;
  return p.mCPU_energy[costCode];
}

void ParameterKey::set(Parameters& p, double value) const {
  if (intValue) {
    // As the file reader takes an integer: the leading whole part, clamped to the 32-bit range.
    const double whole = std::trunc(value);
    p.*intValue = std::isnan(whole) ? 0 : whole >= INT_MAX ? INT_MAX : whole <= INT_MIN ? INT_MIN : static_cast<int>(whole);
  } else if (doubleValue) {
    p.*doubleValue = value;
  } else {
    p.mCPU_energy[costCode] = value;
  }
}

std::vector<ParameterKey> parameterKeys() {
  std::vector<ParameterKey> keys;
  for (FileLine& line : fileLines()) keys.push_back(std::move(line.key));
  return keys;
}

std::optional<ParameterKey> findParameterKey(std::string_view name) {
  for (ParameterKey& key : parameterKeys())
    if (key.name == name) return std::move(key);
  return std::nullopt;
}

std::string parameterFileText(const Parameters& p) {
  std::ostringstream out;
  vek::useWorldNumberFormat(out);
  out << "/*-----------parameter.txt-----------*/" << vek::kEol;
  for (const FileLine& line : fileLines()) {
    if (line.key.isInteger()) out << p.*line.key.intValue;
    else out << line.key.get(p);
    out << line.middle << vek::toCp932(line.comment) << vek::kEol;
    if (line.ruleAfter) out << "//----------------------------//" << vek::kEol;
  }
  return out.str();
}

bool writeParameterFile(const Parameters& p, const std::string& directory) {
  return vek::writeFileAtomically(directory + "parameter.pini", parameterFileText(p));
}

void readParameters(Parameters& p, std::istream& in) {
  const std::vector<ParameterKey> keys = parameterKeys();
  std::string line;
  while (vek::readLine(in, line)) {
    if (line.empty() || line[0] == '/') continue;
    for (const ParameterKey& key : keys) {
      if (!namesKey(line, key.name)) continue;
      if (key.isInteger()) {
        vek::parseLeadingInt(line, p.*key.intValue);
      } else {
        double value = key.get(p);
        if (vek::parseLeadingDouble(line, value)) key.set(p, value);
      }
    }
  }
}

bool readParameterFile(Parameters& p, const std::string& name, bool nameIsFile) {
  std::ifstream in(nameIsFile ? name : name + "parameter.pini", std::ios::binary);
  if (!in) return false;
  readParameters(p, in);
  return true;
}
