#include "engine/seed.h"

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

mSeed::mSeed(mGene* genome, mSeedList* population, const mID& id, const mPoint3D& position,
             int newborn, double initialEnergy)
    : mEvaluation(gParam.mSeed_initialEvaluationValue),
      mNewborn(newborn),
      mPosition(position),
      mId(id),
      mGenome(genome),
      mPopulation(population) {
  mBody = std::make_unique<mPartsList>(this, "N");
  mProcessor = std::make_unique<mCPU>(this);
  mProcessor->energy().add(initialEnergy);
}

mSeed::mSeed(mSeedList* population)
    : mEvaluation(gParam.mSeed_initialEvaluationValue), mPopulation(population) {
  mBody = std::make_unique<mPartsList>(this);
  mProcessor = std::make_unique<mCPU>(this);
}

mSeed::~mSeed() = default;

void mSeed::execute() {
  ++mAge;
  mProcessor->energy().add(mBody->leafLight());
  mProcessor->step();
  evaluate();
}

double mSeed::evaluate() {
  const int children = mProcessor->breedCount();
  double value = children + 1;
  if (children == 0 && mId.size * gParam.mSeed_turn_effect < mAge) value = -1.0;
  if (mProcessor->energy().current() <= 0) value = -1.0;
  mEvaluation = value;
  return value;
}

std::string mSeed::text() const { return "S " + mPosition.toText() + " " + mId.text(); }

bool mSeed::isClear(const mPoint3D& p, double margin) const { return mBody->isClear(p, margin); }

bool mSeed::isSegmentClear(const mPoint3D& a, const mPoint3D& b) const {
  return mBody->isSegmentClear(a, b);
}

double mSeed::bodyEnergy() const { return mProcessor->energy().current(); }

const mBodyPopulation* mSeed::bodyPopulation() const { return mPopulation; }

void mSeed::bodyPartsChanged(const mPartsList& body) {
  if (mPopulation) mPopulation->bodyChanged(body);
}

mBreedResult mSeed::cpuBreed(const mPoint3D& flowerPosition, double energy) {
  const double mean = gParam.mCPU_adjust_hight * flowerPosition.z;
  const double distance = normal(mean, gParam.mCPU_hight_variance * mean);
  const double angle = uniformRange(-kPi, kPi);
  const mPoint3D landing(distance * std::cos(angle), distance * std::sin(angle), 0.0);
  if (!mField::insideField(&landing)) return mBreedResult::kLandedOutside;

  double weight = 0;
  const mGene* father = mPopulation->findFather(*this, flowerPosition, weight);
  std::unique_ptr<mGene> child = mGene::breedGene(*mGenome, father ? *father : *mGenome, weight);
  mGeneList* pool = mGenome->pool();
  mGene* gene = pool->findEqual(*child);
  if (!gene) {
    child->setIdentifier(pool->newIdentifier(child->size()));
    gene = pool->addGene(std::move(child));
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
  mProcessor->write(out);
  mBody->write(out);
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
    in.setstate(std::ios_base::failbit);
    return false;
  }
  mGenome = genome;
  mGenome->addCarrier(this);
  mId.read(in);
  mPosition.read(in);
  if (!mProcessor->read(in)) return false;
  mBody->read(in);
  if (!in) return false;
  if (!(vek::readInt(in, mAge) && vek::readInt(in, mNewborn))) return false;
  evaluate();
  vek::skipLine(in);
  return true;
}
