#include "viewer/startup.h"

#include "viewer/texts.h"

namespace viewer {

std::optional<std::string> firstSnapshot(const ViewerArguments& arguments, ViewerDialogs& dialogs) {
  if (arguments.snapshot) return arguments.snapshot;
  if (!dialogs.askYesNo(text::kChooseFirstFile)) return std::nullopt;
  return dialogs.chooseSnapshot();
}

}  // namespace viewer
