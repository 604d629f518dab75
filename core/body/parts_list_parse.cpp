// Laying out a body text: the parser behind construction with a text and read().
//
// The text comes from saved worlds and from breeding, so it is treated as hostile: anything
// outside the grammar (a stray character, a missing bracket, a truncated token, a number that
// does not parse or is not a number) raises BodyParseError, and nesting of any depth is walked
// with an explicit stack rather than recursion.

#include <charconv>
#include <cmath>
#include <cstring>

#include "body/field.h"
#include "body/parts_list.h"

namespace {

// Reads the tokens of a body text from left to right.
class Scanner {
 public:
  explicit Scanner(const std::string& text) : mText(text) {}

  size_t position() const { return mPos; }
  bool atEnd() const { return mPos == mText.size(); }
  char peek() const { return atEnd() ? '\0' : mText[mPos]; }

  void expect(char c) {
    if (peek() != c) throw BodyParseError();
    ++mPos;
  }

  // A number ended by `terminator`, which is consumed too. Only the characters that "%lf"
  // writes for a double may stand in it, so no letter of the grammar hides inside a number.
  double number(char terminator) {
    const size_t start = mPos;
    while (!atEnd() && std::strchr("+-.0123456789einf", mText[mPos]) != nullptr) ++mPos;
    const char* first = mText.data() + start;
    const char* last = mText.data() + mPos;
    expect(terminator);
    if (first != last && *first == '+' && ++first != last && *first == '-') throw BodyParseError();
    double value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || std::isnan(value)) throw BodyParseError();
    return value;
  }

 private:
  const std::string& mText;
  size_t mPos = 0;
};

}  // namespace

void mPartsList::parse() {
  clearParts();
  const mPoint3D* root = mOwner ? mOwner->bodyRoot() : nullptr;
  if (!root || mText.empty()) return;

  // A group whose edge cannot be laid out, or whose leaf or flower is refused, is dropped:
  // its text is still read (and must be well formed) but neither its parts nor its text are
  // kept, only its leading body. Parts inside a dropped group are "dead".
  struct Group {
    const mPoint3D* start;  // the point the group's edge grows from (live groups)
    bool live;              // the group lies inside no dropped group
    bool kept;              // live, and its edge (and sphere) were laid out
    bool inTip;             // the edge has been read
    size_t outOpen;         // where the group's "(" stands in the kept text
    size_t outEdge;         // where its edge token starts in the kept text
  };

  const std::string& in = mText;
  std::string out;
  out.reserve(in.size());
  Scanner scan(in);
  std::vector<Group> groups;
  // The point waiting for the node, leaf or flower that stands at it and will own it.
  std::unique_ptr<mPoint3D> pending = std::make_unique<mPoint3D>(*root);
  const mPoint3D* cur = pending.get();
  bool live = true;

  try {
    for (;;) {
      // A body: any number of opening groups, then the node they all begin with.
      while (scan.peek() == '(') {
        scan.expect('(');
        groups.push_back({cur, live, false, false, out.size(), 0});
        if (live) out += '(';
      }
      scan.expect('N');
      if (live) {
        mNodes.push_back(std::make_unique<mNode>(std::move(pending), mOwner));
        out += 'N';
      }

      // Climb out of the groups this body completes, until one still awaits its tip body.
      bool tipBodyFollows = false;
      while (!groups.empty() && !tipBodyFollows) {
        Group& g = groups.back();
        if (!g.inTip) {
          g.inTip = true;
          const size_t edgeText = scan.position();
          scan.expect('E');
          scan.expect('<');
          mPoint3D v;
          v.x = scan.number(',');
          v.y = scan.number(',');
          v.z = scan.number('>');
          g.outEdge = out.size();
          if (g.live) {
            auto tip = std::make_unique<mPoint3D>(mPoint3D::plus(*g.start, v));
            if (mField::insideField(parameters(), tip.get()) && passesClearance(g.start, *tip, -1)) {
              g.kept = true;
              out.append(in, edgeText, scan.position() - edgeText);
              mEdges.push_back(std::make_unique<mEdge>(g.start, tip.get(), mOwner));
              tellOwner();
              cur = tip.get();
              pending = std::move(tip);
            }
          }

          const char tipLetter = scan.peek();
          if (tipLetter == 'L' || tipLetter == 'F') {
            const size_t sphereText = scan.position();
            scan.expect(tipLetter);
            scan.expect('<');
            const double r = scan.number('>');
            if (g.kept) {
              if (passesClearance(nullptr, *pending, r)) {
                out.append(in, sphereText, scan.position() - sphereText);
                if (tipLetter == 'L') {
                  mLeaves.push_back(std::make_unique<mLeaf>(std::move(pending), r, mOwner));
                } else {
                  mFlowers.push_back(std::make_unique<mFlower>(std::move(pending), r, mOwner));
                }
              } else {
                g.kept = false;
                mEdges.pop_back();  // the edge borrowed the refused tip point
                pending.reset();
              }
              tellOwner();
            }
          } else {
            tipBodyFollows = true;
            live = g.kept;
            continue;
          }
        }
        scan.expect(')');
        if (g.live) {
          if (g.kept) {
            out += ')';
          } else {
            out.resize(g.outEdge);
            out.erase(g.outOpen, 1);
          }
        }
        cur = g.start;
        live = g.live;
        groups.pop_back();
      }
      if (groups.empty()) break;
    }
    if (!scan.atEnd()) throw BodyParseError();
  } catch (...) {
    clearParts();
    tellOwner();
    throw;
  }
  mText = std::move(out);
}
