// The correctly rounded sine and cosine against glibc, bit for bit, on the angles the game
// produces, on random arguments and on special values. Where the two differ, MPFR, whose
// results are correctly rounded by construction, decides who rounded correctly: ours must have;
// glibc's misroundings are only counted (the game uses ours on every build). A sample of the
// arguments is held against MPFR whatever glibc says.
#include "runtime/correctly_rounded_trigonometry.h"

#include <gtest/gtest.h>

#include <mpfr.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

namespace {

// The sanitizer build runs a sample of the arguments; the optimised build all of them.
#if defined(__SANITIZE_ADDRESS__)
constexpr int64_t kStride = 17;
#else
constexpr int64_t kStride = 1;
#endif

// Every how many compared arguments one is judged by MPFR even where glibc agrees with us.
constexpr int64_t kJudgedEvery = 61;

bool SameBits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// sin and cos rounded to the nearest double by MPFR. The exponent range is the double's, so a
// subnormal result is rounded once, at its own precision, as the double arithmetic would.
class TReference {
public:
  TReference() {
    mpfr_set_emin(-1073);
    mpfr_set_emax(1024);
    mpfr_init2(mArgument, 53);
    mpfr_init2(mResult, 53);
  }
  ~TReference() {
    mpfr_clear(mArgument);
    mpfr_clear(mResult);
    mpfr_free_cache(); // MPFR keeps pi and friends cached; LeakSanitizer would report them
  }
  TReference(const TReference&) = delete;
  TReference& operator=(const TReference&) = delete;

  double Sine(double ParaX) { return Evaluate(ParaX, mpfr_sin); }
  double Cosine(double ParaX) { return Evaluate(ParaX, mpfr_cos); }
  double Of(double ParaX, bool ParaCosine) { return ParaCosine ? Cosine(ParaX) : Sine(ParaX); }

private:
  double Evaluate(double ParaX, int (*ParaFunction)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t)) {
    mpfr_set_d(mArgument, ParaX, MPFR_RNDN); // exact: 53 bits hold every double
    int ternary = ParaFunction(mResult, mArgument, MPFR_RNDN);
    ternary = mpfr_check_range(mResult, ternary, MPFR_RNDN);
    mpfr_subnormalize(mResult, ternary, MPFR_RNDN);
    return mpfr_get_d(mResult, MPFR_RNDN); // exact: the result is a double already
  }

  mpfr_t mArgument;
  mpfr_t mResult;
};

struct TTally {
  int64_t mCalls = 0;
  int64_t mGlibcMisrounded = 0;
  int64_t mOursWrong = 0;
  int64_t mJudged = 0;
  int64_t mFarApart = 0; // more than one ulp apart: one of them is badly wrong
};

void Compare(TReference& ParaReference, double ParaX, bool ParaCosine, TTally& ParaTally) {
  const double ours = ParaCosine ? CorrectlyRoundedCosine(ParaX) : CorrectlyRoundedSine(ParaX);
  const double glibc = ParaCosine ? std::cos(ParaX) : std::sin(ParaX);
  const char* name = ParaCosine ? "cos(" : "sin(";
  const bool agree = SameBits(ours, glibc);
  const bool judged = !agree || ParaTally.mCalls % kJudgedEvery == 0;
  ++ParaTally.mCalls;
  if (!agree && std::nextafter(glibc, ours) != ours) {
    ++ParaTally.mFarApart;
    ADD_FAILURE() << name << std::hexfloat << ParaX << ") = " << ours << ", glibc " << glibc;
  }
  if (!judged) {
    return;
  }
  ++ParaTally.mJudged;
  const double exact = ParaReference.Of(ParaX, ParaCosine);
  if (!SameBits(ours, exact) && !(std::isnan(ours) && std::isnan(exact))) {
    ++ParaTally.mOursWrong;
    ADD_FAILURE() << "misrounded " << name << std::hexfloat << ParaX << ") = " << ours
                  << ", correctly rounded " << exact << ", glibc " << glibc;
  } else if (!agree) {
    ++ParaTally.mGlibcMisrounded;
  }
}

void Report(const char* ParaWhat, const TTally& ParaSine, const TTally& ParaCosine) {
  std::printf("%s: %lld calls each, %lld and %lld judged by MPFR; glibc misrounded sin %lld, "
              "cos %lld\n",
              ParaWhat, static_cast<long long>(ParaSine.mCalls),
              static_cast<long long>(ParaSine.mJudged), static_cast<long long>(ParaCosine.mJudged),
              static_cast<long long>(ParaSine.mGlibcMisrounded),
              static_cast<long long>(ParaCosine.mGlibcMisrounded));
  for (const TTally* tally : {&ParaSine, &ParaCosine}) {
    EXPECT_EQ(tally->mOursWrong, 0);
    EXPECT_EQ(tally->mFarApart, 0);
  }
}

// Headings as persons reach them: whole degrees from the start, tenths from turning, and on to
// 360000 degrees after many +180 bounces, converted exactly as the person rules convert them.
double PersonRadians(int64_t ParaTenths) {
  const double angle = ParaTenths * 0.1;
  return angle * 3.141592653589793 / 180;
}

} // namespace

TEST(CorrectlyRoundedTrigonometry, AgreesWithGlibcOrRoundsBetterOnEveryPersonHeading) {
  TReference reference;
  TTally sine, cosine;
  for (int64_t k = 0; k <= 3600000; k += kStride) {
    Compare(reference, PersonRadians(k), false, sine);
    Compare(reference, PersonRadians(k), true, cosine);
  }
  // Whole degrees: what a person starts with and keeps while it does not turn.
  for (int64_t degrees = 0; degrees <= 360000; degrees += kStride) {
    const double radians = static_cast<double>(degrees) * 3.141592653589793 / 180;
    Compare(reference, radians, false, sine);
    Compare(reference, radians, true, cosine);
  }
  Report("person headings", sine, cosine);
}

TEST(CorrectlyRoundedTrigonometry, AgreesWithGlibcOrRoundsBetterOnRandomArguments) {
  TReference reference;
  std::mt19937_64 generator(20261209);
  std::uniform_real_distribution<double> moderate(-1e6, 1e6);
  TTally sine, cosine;
  for (int64_t i = 0; i < 3000000 / kStride; ++i) {
    const double x = moderate(generator);
    Compare(reference, x, false, sine);
    Compare(reference, x, true, cosine);
  }
  // Magnitudes up to 1e15 spread evenly over the exponents, past the fast reduction's limit.
  std::uniform_real_distribution<double> exponent(0, std::log2(1e15));
  for (int64_t i = 0; i < 100000 / kStride; ++i) {
    const double x = std::exp2(exponent(generator)) * (i % 2 == 0 ? 1 : -1);
    Compare(reference, x, false, sine);
    Compare(reference, x, true, cosine);
  }
  Report("random arguments", sine, cosine);
}

TEST(CorrectlyRoundedTrigonometry, FastPathAgreesWithTheLongPath) {
  // The fast path must never claim a rounding the slow multi-word path disagrees with.
  std::mt19937_64 generator(7);
  std::uniform_real_distribution<double> moderate(-1e7, 1e7);
  std::uniform_real_distribution<double> small(-60, 0);
  for (int64_t i = 0; i < 200000 / kStride; ++i) {
    const double x = i % 2 == 0 ? moderate(generator) : std::exp2(small(generator));
    ASSERT_TRUE(SameBits(CorrectlyRoundedSine(x), trigonometry_internal::LongSine(x)))
        << std::hexfloat << x;
    ASSERT_TRUE(SameBits(CorrectlyRoundedCosine(x), trigonometry_internal::LongCosine(x)))
        << std::hexfloat << x;
  }
}

TEST(CorrectlyRoundedTrigonometry, SineCosineGivesTheBitsOfTheTwoCalls) {
  // The joint evaluation shares the reduction and falls back per result; every quadrant, both
  // signs, the fallbacks (about one in five thousand) and the arguments beyond the fast path.
  std::mt19937_64 generator(11);
  std::uniform_real_distribution<double> moderate(-1e7, 1e7);
  std::uniform_real_distribution<double> exponent(-40, 60);
  for (int64_t i = 0; i < 1000000 / kStride; ++i) {
    const double x = i % 4 == 3 ? std::exp2(exponent(generator)) : moderate(generator);
    double sine, cosine;
    CorrectlyRoundedSineCosine(x, sine, cosine);
    ASSERT_TRUE(SameBits(sine, CorrectlyRoundedSine(x))) << std::hexfloat << x;
    ASSERT_TRUE(SameBits(cosine, CorrectlyRoundedCosine(x))) << std::hexfloat << x;
  }
  for (double x : {0.0, -0.0, 0x1p-30, -0x1p-30, 1.5707963267948966, -3.141592653589793,
                   std::numeric_limits<double>::infinity()}) {
    double sine, cosine;
    CorrectlyRoundedSineCosine(x, sine, cosine);
    EXPECT_TRUE(SameBits(sine, CorrectlyRoundedSine(x)) || std::isnan(sine));
    EXPECT_TRUE(SameBits(cosine, CorrectlyRoundedCosine(x)) || std::isnan(cosine));
  }
}

TEST(CorrectlyRoundedTrigonometry, NearMultiplesOfHalfPiKeepFullRelativeAccuracy) {
  // fl(n pi/2) - n pi/2 is tiny, so the reduction must carry pi/2 far beyond double precision.
  TReference reference;
  EXPECT_EQ(CorrectlyRoundedCosine(1.5707963267948966), 6.123233995736766e-17);
  EXPECT_EQ(CorrectlyRoundedSine(3.141592653589793), 1.2246467991473532e-16);
  TTally sine, cosine;
  for (int n = 1; n <= 100000; ++n) {
    const double x = n * 1.5707963267948966;
    for (double y : {x, std::nextafter(x, 0.0), std::nextafter(x, 1e300)}) {
      Compare(reference, y, false, sine);
      Compare(reference, y, true, cosine);
      const double fromLong =
          (n % 2 == 1) ? trigonometry_internal::LongCosine(y) : trigonometry_internal::LongSine(y);
      EXPECT_TRUE(
          SameBits((n % 2 == 1) ? CorrectlyRoundedCosine(y) : CorrectlyRoundedSine(y), fromLong));
    }
  }
  Report("near multiples of pi/2", sine, cosine);
  // The worst case of all doubles for the reduction (|x mod pi/2| about 2^-61), far above 2^26.
  const double hard = std::ldexp(6381956970095103.0, 797);
  EXPECT_EQ(CorrectlyRoundedCosine(hard), reference.Cosine(hard));
  EXPECT_LT(std::fabs(CorrectlyRoundedCosine(hard)), 0x1p-55);
}

TEST(CorrectlyRoundedTrigonometry, SpecialValues) {
  TReference reference;
  const double inf = std::numeric_limits<double>::infinity();
  const double denormal = std::numeric_limits<double>::denorm_min();
  EXPECT_TRUE(SameBits(CorrectlyRoundedSine(0.0), 0.0));
  EXPECT_TRUE(SameBits(CorrectlyRoundedSine(-0.0), -0.0));
  EXPECT_EQ(CorrectlyRoundedCosine(0.0), 1.0);
  EXPECT_EQ(CorrectlyRoundedCosine(-0.0), 1.0);
  for (double tiny : {denormal, 0x1p-1022, 1e-300, 0x1p-30, 0x1.fffffffffffffp-28}) {
    EXPECT_EQ(CorrectlyRoundedSine(tiny), tiny);
    EXPECT_EQ(CorrectlyRoundedSine(-tiny), -tiny);
    EXPECT_EQ(CorrectlyRoundedCosine(tiny), 1.0);
    EXPECT_EQ(CorrectlyRoundedSine(tiny), std::sin(tiny));
  }
  for (double x : {inf, -inf, std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_TRUE(std::isnan(CorrectlyRoundedSine(x)));
    EXPECT_TRUE(std::isnan(CorrectlyRoundedCosine(x)));
  }
  // Odd and even, and the largest arguments, against the reference.
  TTally sine, cosine;
  for (double x :
       {1e22, -1e22, 0x1p1023, std::numeric_limits<double>::max(), 0x1p26,
        std::nextafter(0x1p26, 0.0), 0x1p-26, 0x1.fffffffffffffp-27, 0x1p-27, 0.7853981633974483}) {
    EXPECT_TRUE(SameBits(CorrectlyRoundedSine(-x), -CorrectlyRoundedSine(x)));
    EXPECT_TRUE(SameBits(CorrectlyRoundedCosine(-x), CorrectlyRoundedCosine(x)));
    EXPECT_EQ(CorrectlyRoundedSine(x), reference.Sine(x)) << std::hexfloat << x;
    EXPECT_EQ(CorrectlyRoundedCosine(x), reference.Cosine(x)) << std::hexfloat << x;
    Compare(reference, x, false, sine);
    Compare(reference, x, true, cosine);
  }
  Report("special values", sine, cosine);
}
