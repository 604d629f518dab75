#include "app/target_subject.h"

#include "body/field.h"
#include "engine/seed.h"
#include "genome/gene.h"

namespace app {

TargetSubject::TargetSubject() = default;
TargetSubject::~TargetSubject() {
  mTemporary.reset();
  mGenome.reset();
}
TargetSubject::TargetSubject(TargetSubject&&) noexcept = default;

TargetSubject TargetSubject::ofSeed(const SeedHandle& handle) {
  TargetSubject subject;
  subject.mHandle = handle;
  return subject;
}

TargetSubject TargetSubject::temporary(const mID& geneId, const std::vector<int>& codes,
                                       const Parameters& parameters) {
  TargetSubject subject;
  subject.mGenome = std::make_unique<mGene>(nullptr, codes);
  subject.mGenome->setIdentifier(geneId);
  subject.mParameters = std::make_unique<Parameters>(parameters);
  const mPoint3D centre(mField::centreX(parameters), mField::centreY(parameters), 0.0);
  subject.mTemporary = std::make_unique<mSeed>(subject.mGenome.get(), *subject.mParameters, geneId, centre, 0.0);
  return subject;
}

mSeed* TargetSubject::find(const mPlace* place) const {
  if (mTemporary) return mTemporary.get();
  if (!place) return nullptr;
  return findSeed(*place, mHandle);
}

}  // namespace app
