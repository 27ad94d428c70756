// The level logic: at the end of every cycle, decides whether the outbreak is over and, if it
// is, starts the next, larger level or ends the game for good.
#pragma once

class TGame {
public:
  // Enlarges the population by 1.2 and starts a new level.
  void NextLevel();
  void GameOver() { mOver = true; }
  // The end-of-level test, once per cycle.
  void Think();
  void Draw() const;

  bool Over() const { return mOver; }

private:
  bool mOver = false;
};

// The one level logic; created and freed by the world registry.
extern TGame* Game;
