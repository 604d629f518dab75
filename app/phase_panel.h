// kMotherView, the phase panel: five lamps, one per phase of the turn ("SUN_LIGHT" to
// "AFTER_EXECUTE"). Only the lamp of the phase that runs next is lit (enabled); clicking it
// opens the control panel. It lights the world's phase when it opens and follows the world
// after every step.
//
// GUI thread only. Registers itself with the simulator's bridge while it exists.
#pragma once

#include <QWidget>
#include <functional>

class QPushButton;

namespace app {

class Simulator;

class kMotherView : public QWidget {
  Q_OBJECT

 public:
  // `openControlPanel` runs when the lit lamp is clicked.
  kMotherView(Simulator& simulator, std::function<void()> openControlPanel, QWidget* parent = nullptr);
  ~kMotherView() override;

  // Lights the lamp of `phase` (0 to 4) and no other.
  void light(int phase);
  // The lit lamp, or -1 when none is.
  int litPhase() const;
  QPushButton* lamp(int phase) const;
  // Lights the phase the world runs next (a world just opened, or the panel's first display).
  void lightWorldPhase();

 private:
  Simulator& mSimulator;
  QPushButton* mLamps[5];
};

}  // namespace app
