// The playing field: the rectangle the persons live in, sized like the view. Holds no rules
// of its own; the population reads its size.
#pragma once

#include <cstdint>

class TField {
public:
  bool Initialized() const { return mInitialized; }
  void SetInitialized(bool ParaValue) { mInitialized = ParaValue; }
  int32_t Width() const { return mWidth; }
  void SetWidth(int32_t ParaValue) { mWidth = ParaValue; }
  int32_t Height() const { return mHeight; }
  void SetHeight(int32_t ParaValue) { mHeight = ParaValue; }

  void Draw() const;

private:
  int32_t mWidth = 0;
  int32_t mHeight = 0;
  bool mInitialized = false;
};

// The one field; created and freed by the world registry.
extern TField* Field;
