// The role of a person. Declared for completeness of the person's record: every person keeps
// r_citizen for its whole life, and nothing reads the role.
#pragma once

#include <cstdint>

enum TRole : uint8_t {
  r_citizen = 0,
  r_medic = 1,
  r_tester = 2,
  r_quarantine = 3,
};
