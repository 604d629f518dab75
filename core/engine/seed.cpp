#include "engine/seed.h"

#include <climits>
#include <cmath>

#include "body/field.h"
#include "body/parameters.h"
#include "body/parts_list.h"
#include "engine/place.h"
#include "base/random.h"
#include "engine/seed_list.h"
#include "genome/gene.h"
#include "genome/gene_list.h"
#include "base/text_io.h"

namespace {
const Parameters& parametersOf(const mSeedList* population) {
  return population ? population->parameters() : kBuiltInParameters;
}
}  // namespace

mSeed::mSeed(mGene* genome, mSeedList* population, const mID& id, const mPoint3D& position,
             int newborn, double initialEnergy)
    : mSeed(genome, population, &parametersOf(population), id, position, newborn, initialEnergy) {}

mSeed::mSeed(mGene* genome, const Parameters& parameters, const mID& id, const mPoint3D& position,
             double initialEnergy)
    : mSeed(genome, nullptr, &parameters, id, position, 0, initialEnergy) {}

mSeed::mSeed(mGene* genome, mSeedList* population, const Parameters* parameters, const mID& id,
             const mPoint3D& position, int newborn, double initialEnergy)
    : mParameters(parameters),
      mEvaluation(mParameters->mSeed_initialEvaluationValue),
      mNewborn(newborn),
      mPosition(position),
      mId(id),
      mGenome(genome),
      mPopulation(population),
      mProcessor(this),
      mBody(this, "N") {
  mProcessor.energy().add(initialEnergy);
}

mSeed::mSeed(mSeedList* population)
    : mParameters(&parametersOf(population)),
      mEvaluation(mParameters->mSeed_initialEvaluationValue),
      mPopulation(population),
      mProcessor(this),
      mBody(this) {}

mSeed::~mSeed() = default;

void mSeed::execute() {
  // An age at the largest int stays there (a saved world may stand at it).
  if (mAge < INT_MAX) ++mAge;
  mProcessor.energy().add(mBody.leafLight());
  mProcessor.step();
  evaluate();
}

double mSeed::evaluate() {
  const int children = mProcessor.breedCount();
  double value = children + 1.0;
  if (children == 0 && mId.size * mParameters->mSeed_turn_effect < mAge) value = -1.0;
  if (mProcessor.energy().current() <= 0) value = -1.0;
  mEvaluation = value;
  return value;
}

void mSeed::prefetchGenome() const {
  if (mGenome) mGenome->prefetchSize();
}

std::string mSeed::text() const { return "S " + mPosition.toText() + " " + mId.text(); }

bool mSeed::isClear(const mPoint3D& p, double margin) const { return mBody.isClear(p, margin); }

bool mSeed::isSegmentClear(const mPoint3D& a, const mPoint3D& b) const {
  return mBody.isSegmentClear(a, b);
}

double mSeed::bodyEnergy() const { return mProcessor.energy().current(); }

const mBodyPopulation* mSeed::bodyPopulation() const { return mPopulation; }

bool mSeed::bodyRestoring() const { return mPopulation && mPopulation->place() && mPopulation->place()->restoring(); }

void mSeed::bodyPartsChanged(const mPartsList& body, const mSphere* resized) {
  if (mPopulation) mPopulation->bodyChanged(body, resized);
}

mBreedResult mSeed::cpuBreed(const mPoint3D& flowerPosition, double energy) {
  const Parameters& p = *mParameters;
  mRandom& random = mPopulation->place()->random();
  const double mean = p.mCPU_adjust_hight * flowerPosition.z;
  const double distance = random.normal(mean, p.mCPU_hight_variance * mean);
  const double angle = random.uniformRange(-kPi, kPi);
  const mPoint3D landing(distance * std::cos(angle), distance * std::sin(angle), 0.0);
  if (!mField::insideField(p, &landing)) return mBreedResult::kLandedOutside;

  double weight = 0;
  const mGene* father = mPopulation->findFather(*this, flowerPosition, weight);
  std::unique_ptr<mGene> child = mGene::breedGene(*mGenome, father ? *father : *mGenome, weight, p, random);
  mGeneList* pool = mGenome->pool();
  mGene* gene = pool->findEqual(*child);
  if (!gene) {
    child->setIdentifier(pool->newIdentifier(child->size()));
    gene = pool->addGene(std::move(child));
    mPlace& place = *mPopulation->place();
    place.lineage().addChild(*gene, *mGenome, weight > 0 ? father : nullptr, place.runningTurn());
  }
  const mID id = pool->newIdentifier(gene->size());
  mPopulation->addNewborn(std::make_unique<mSeed>(gene, mPopulation, id, landing, 1, energy));
  return mBreedResult::kBorn;
}

void mSeed::write(std::ostream& out) const {
  out << "/*mSeed start*/" << vek::kEol;
  (mGenome ? mGenome->identifier() : mID()).write(out);
  mId.write(out);
  mPosition.write(out);
  mProcessor.write(out);
  mBody.write(out);
  out << mAge << ' ' << mNewborn << ' ' << vek::kEol << "/*mSeed end*/" << vek::kEol;
}

bool mSeed::read(std::istream& in) {
  vek::skipLine(in);
  mID genomeId;
  genomeId.read(in);
  const mGeneList* pool = mPopulation && mPopulation->place() ? &mPopulation->place()->genePool() : nullptr;
  mGene* genome = in && pool ? pool->findByIdentifier(genomeId) : nullptr;
  if (!genome) {
    // An individual whose genome is not in the pool cannot run: the file is damaged.
    if (in) vek::rejectValue(in, "an individual carries the gene " + genomeId.text() + ", which the gene pool does not hold");
    in.setstate(std::ios_base::failbit);
    return false;
  }
  mGenome = genome;
  mGenome->addCarrier(this);
  mId.read(in);
  mPosition.read(in);
  if (in && !(std::isfinite(mPosition.x) && std::isfinite(mPosition.y) && std::isfinite(mPosition.z))) {
    vek::rejectValue(in, "the individual " + mId.text() + " stands at a position that is not a number");
    return false;
  }
  if (!mProcessor.read(in)) return false;
  mBody.read(in);
  if (!in) return false;
  if (!(vek::readInt(in, mAge) && vek::readInt(in, mNewborn))) return false;
  if (mAge < 0 || (mNewborn != 0 && mNewborn != 1)) {
    vek::rejectValue(in, "the individual " + mId.text() + " has the age " + std::to_string(mAge) + " and newborn mark " +
                             std::to_string(mNewborn) + " (an age is 0 or more, the mark 0 or 1)");
    return false;
  }
  evaluate();
  vek::skipLine(in);
  return true;
}
