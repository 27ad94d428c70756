// Sine and cosine correctly rounded to nearest, built from IEEE double operations and 32-bit
// integer arithmetic only, so every conforming platform returns the same bits; see the header.
//
// Method. A fast path first: for |x| < 2^26 the argument is reduced by k multiples of pi/2,
// with pi/2 split into a 27-bit, a 27-bit and two 53-bit parts so that every product with k
// is exact (Dekker's product for the third part), giving r = x - k pi/2 as a double-double
// accurate to 2^-102 |r| + k 2^-150 even when r is as small as fl(pi/2) - pi/2. Then
// r = j/256 + t with |t| <= 2^-9, and sin r, cos r are sin(a)cos(t) +- cos(a)sin(t) from a
// double-double table of sin(j/256), cos(j/256) and short Taylor polynomials in t, the leading
// product and sum kept exact. Its error stays below 2^-66 relative plus the reduction term
// (the analysis gives about 2^-69; the largest seen over 13 million arguments against a
// 113-bit reference is 2^-69.8); when both ends of that interval round to the same double, it is
// the correctly rounded value. Otherwise (about one call in five thousand), and for
// |x| >= 2^26, the long path decides: Payne-Hanek reduction against 1536 bits of 2/pi and
// Taylor series in 256-bit fixed point, with an error far below the closest any double's sine
// or cosine comes to a rounding boundary. The constants were derived from pi computed by two
// Machin-type formulas in exact integer arithmetic.
#include "runtime/correctly_rounded_trigonometry.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>

namespace {

// ---- Exact double-precision building blocks ---------------------------------------------

// s + e == a + b exactly.
inline void TwoSum(double a, double b, double& s, double& e) {
  s = a + b;
  const double bb = s - a;
  e = (a - (s - bb)) + (b - bb);
}

// s + e == a + b exactly, for |a| >= |b|.
inline void FastTwoSum(double a, double b, double& s, double& e) {
  s = a + b;
  e = b - (s - a);
}

// Veltkamp's split: hi holds the upper 26 bits, lo the rest, hi + lo == a.
inline void Split(double a, double& hi, double& lo) {
  const double c = 134217729.0 * a; // 2^27 + 1
  hi = c - (c - a);
  lo = a - hi;
}

// Dekker's product without a fused multiply-add: p + e == a * b exactly.
inline void TwoProduct(double a, double b, double& p, double& e) {
  p = a * b;
  double ah, al, bh, bl;
  Split(a, ah, al);
  Split(b, bh, bl);
  e = ((ah * bh - p) + ah * bl + al * bh) + al * bl;
}

// pi/2 = kPiOverTwo1 + kPiOverTwo2 + kPiOverTwo3 + kPiOverTwo4 + O(2^-168). The first two have
// at most 27 significant bits, so k * part is exact for k < 2^26; the third is kept split
// (26 + 25 bits) for Dekker's product with an integer k.
constexpr double kPiOverTwo1 = 0x1.921fb54000000p+0;
constexpr double kPiOverTwo2 = 0x1.10b4610000000p-30;
constexpr double kPiOverTwo3 = 0x1.a62633145c06ep-58;
constexpr double kPiOverTwo3High = 0x1.a626330000000p-58;
constexpr double kPiOverTwo3Low = 0x1.45c06e0000000p-86;
constexpr double kPiOverTwo4 = 0x1.cd129024e088ap-115;
constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;

// Adding and subtracting 1.5 * 2^52 rounds a double below 2^51 to the nearest integer.
constexpr double kRoundingShift = 0x1.8p52;

// Above this the fast reduction's products with k stop being exact.
constexpr double kFastLimit = 0x1p26;

// Relative error bound of the fast evaluation (about 2^-69 by analysis, 2^-69.8 the largest
// measured), and the absolute reduction error per unit of k.
constexpr double kFastRelativeBound = 0x1p-66;
constexpr double kReductionBoundPerK = 0x1p-150;

// sin a high, sin a low, cos a high, cos a low; picked by index so that choosing between
// sine and cosine costs no branch.
using TTableRow = double[4];

// sin(j/256) and cos(j/256) as double-doubles, j = 0 .. 201 (201/256 just covers pi/4).
constexpr TTableRow kTable[202] = {
    {0x0.0p+0, 0x0.0p+0, 0x1.0000000000000p+0, 0x0.0p+0},
    {0x1.ffffaaaaaeeefp-9, -0x1.2b12b0ce9b237p-65, 0x1.ffff000015555p-1, 0x1.27d27df7df7bbp-55},
    {0x1.fffeaaaaeeeefp-8, -0x1.e45e2ec67b77cp-62, 0x1.fffc000155552p-1, 0x1.f4a01a0196daep-55},
    {0x1.7ffdc00103330p-7, -0x1.15efa2be503dbp-61, 0x1.fff70006bffe0p-1, -0x1.9984c57e6cfb8p-55},
    {0x1.fffaaaaeeeed5p-7, -0x1.2ab639a9f0776p-63, 0x1.fff000155549fp-1, 0x1.28a28a03a5ef3p-55},
    {0x1.3ffacab12d517p-6, 0x1.519b3218acccfp-60, 0x1.ffe700341529fp-1, -0x1.b3bc25e3e4cb3p-57},
    {0x1.7ff7001033255p-6, 0x1.efe2b51527336p-64, 0x1.ffdc006bff7e6p-1, 0x1.ae6dae86977bdp-55},
    {0x1.bff1b57858e83p-6, 0x1.df20c232a4f03p-60, 0x1.ffcf00c8140e9p-1, -0x1.c3e3e857e2d30p-55},
    {0x1.ffeaaaeeee86fp-6, -0x1.cd406fb224ae2p-60, 0x1.ffc00155527d3p-1, -0x1.3b54492d89b5bp-55},
    {0x1.1ff0d03d81efcp-5, 0x1.b74e4aa1f4c7fp-59, 0x1.ffaf0222ba3bdp-1, -0x1.426013ff0feb7p-57},
    {0x1.3feb2b12d45d5p-5, 0x1.4ec54203d1c11p-60, 0x1.ff9c03414a7bap-1, 0x1.991f4be6c59bfp-57},
    {0x1.5fe445fd1660fp-5, 0x1.d7a6e37a23793p-59, 0x1.ff8704c4021c8p-1, -0x1.d80c59264b631p-57},
    {0x1.7fdc01032fba9p-5, -0x1.599bdf46e997ap-59, 0x1.ff7006bfdf99fp-1, -0x1.8b3b560648d5fp-56},
    {0x1.9fd23c2d680dfp-5, -0x1.70b1a2ba5f590p-60, 0x1.ff57094be0f62p-1, 0x1.780a6d6b9aac9p-55},
    {0x1.bfc6d78586dacp-5, 0x1.8e4fd03dbf236p-62, 0x1.ff3c0c8103a31p-1, 0x1.4856dbddc0e66p-56},
    {0x1.dfb9b316f372ap-5, -0x1.b3adb2cd8fe77p-61, 0x1.ff1f107a44695p-1, 0x1.2552d1d5613d6p-58},
    {0x1.ffaaaeeed4edbp-5, -0x1.2d16d32684b69p-59, 0x1.ff0015549f4d3p-1, 0x1.328387b99426fp-55},
    {0x1.0fccd58e190ecp-4, -0x1.ef54e5b79b73cp-58, 0x1.fedf1b2f0f71dp-1, -0x1.358030423989ep-58},
    {0x1.1fc343d808befp-4, -0x1.f3d32e6f3be4fp-58, 0x1.febc222a8ef9fp-1, 0x1.7934934f54c77p-58},
    {0x1.2fb8925ecc920p-4, -0x1.1aceeb6944bb7p-60, 0x1.fe972a6a16e73p-1, -0x1.9b4127ab3d548p-58},
    {0x1.3facb12d1755bp-4, -0x1.921915299468bp-58, 0x1.fe7034129ef6fp-1, -0x1.cbf4337c96f97p-57},
    {0x1.4f9f904ecb8ffp-4, 0x1.6fdd8bf8cda76p-58, 0x1.fe473f4b1d7d6p-1, 0x1.a001dd2227ed4p-55},
    {0x1.5f911fd10b737p-4, -0x1.0184f02be9102p-58, 0x1.fe1c4c3c873ebp-1, -0x1.5a9c9057c4a02p-60},
    {0x1.6f814fc248d1fp-4, -0x1.1e7a14e279b6ap-59, 0x1.fdef5b11cf45dp-1, -0x1.e833a08634830p-56},
    {0x1.7f701032550e4p-4, 0x1.afc2d1800501ap-60, 0x1.fdc06bf7e6b9bp-1, 0x1.31902b535f8dbp-55},
    {0x1.8f5d5132710c4p-4, 0x1.ae29046de7c88p-61, 0x1.fd8f7f1dbcb07p-1, -0x1.c752ecfaa985bp-55},
    {0x1.9f4902d55d1f9p-4, 0x1.2696d7eac1dc1p-58, 0x1.fd5c94b43e000p-1, -0x1.2e768cb4f92f9p-57},
    {0x1.af33152f68f8fp-4, 0x1.3f7698bdd23f1p-58, 0x1.fd27acee550dbp-1, 0x1.c3f64be936b41p-55},
    {0x1.bf1b78568391dp-4, 0x1.e91841dea4cc8p-58, 0x1.fcf0c800e99b1p-1, 0x1.ea3d786d186acp-57},
    {0x1.cf021c624b168p-4, -0x1.f6aedf73fb13fp-62, 0x1.fcb7e622e090ep-1, 0x1.efee620ded043p-55},
    {0x1.dee6f16c1cce6p-4, -0x1.50f8e2fb71673p-59, 0x1.fc7d078d1bc88p-1, 0x1.075d2447db685p-55},
    {0x1.eec9e78f2502bp-4, 0x1.3535175887f66p-60, 0x1.fc402c7a79d2cp-1, 0x1.f515d61e3b7d1p-56},
    {0x1.feaaeee86ee36p-4, -0x1.afcb2bcc6f03bp-59, 0x1.fc015527d5bd3p-1, 0x1.b68f35094efb8p-55},
    {0x1.0744fbcb7a34fp-3, -0x1.35f080b446e47p-57, 0x1.fbc081d406d54p-1, 0x1.19ca5c619c114p-55},
    {0x1.0f3378ddd71d1p-3, 0x1.d8468724f0f9ep-57, 0x1.fb7db2bfe0695p-1, 0x1.21dadf4f65ab1p-55},
    {0x1.1720e6bcd1c11p-3, -0x1.370a768c28cc9p-57, 0x1.fb38e82e31880p-1, -0x1.cd45c28dde5cfp-56},
    {0x1.1f0d3d7afceafp-3, -0x1.6ef95099769a5p-57, 0x1.faf22263c4bd3p-1, -0x1.52ace133a2769p-58},
    {0x1.26f8752c02859p-3, 0x1.99d3f99560e16p-60, 0x1.faa961a75fcd7p-1, 0x1.154aedc530b90p-55},
    {0x1.2ee285e4ab88fp-3, -0x1.e4d0f05dee058p-57, 0x1.fa5ea641c36f2p-1, 0x1.04da6ed17cc7cp-59},
    {0x1.36cb67bae7e52p-3, -0x1.2b58c9385fe0dp-59, 0x1.fa11f07dab019p-1, 0x1.4c36f0cfac1a2p-55},
    {0x1.3eb312c5d66cbp-3, 0x1.47d666b66cb91p-57, 0x1.f9c340a7cc428p-1, 0x1.c5b6b063b7462p-55},
    {0x1.46997f1dccbd6p-3, 0x1.5772779edaa4cp-61, 0x1.f972970ed7014p-1, 0x1.82d46ff943b09p-55},
    {0x1.4e7ea4dc5f27bp-3, 0x1.949db2ac072fcp-58, 0x1.f91ff40374d01p-1, -0x1.7d03f4d3a9e4cp-57},
    {0x1.56627c1c68959p-3, -0x1.c1a626f9f35f9p-57, 0x1.f8cb57d848b36p-1, -0x1.e28ca6524cc98p-60},
    {0x1.5e44fcfa126f3p-3, -0x1.6f443063f89b6p-57, 0x1.f874c2e1eecf6p-1, -0x1.c6514e1332b16p-55},
    {0x1.66261f92dc7f2p-3, 0x1.4732388b03388p-58, 0x1.f81c3576fc132p-1, -0x1.a210f729d0428p-56},
    {0x1.6e05dc05a4d4cp-3, -0x1.32c5c8b81c919p-66, 0x1.f7c1afeffde24p-1, -0x1.8f55bc47540b1p-56},
    {0x1.75e42a72afa53p-3, 0x1.25101dbbe3de1p-57, 0x1.f76532a779bc3p-1, -0x1.cc2b661f73e17p-56},
    {0x1.7dc102fbaf2b5p-3, 0x1.5ab50e23c97c3p-59, 0x1.f706bdf9ece1cp-1, -0x1.698c80c36dcb4p-55},
    {0x1.859c5dc3cb85dp-3, 0x1.bdacb1bb1532ap-58, 0x1.f6a65245cbf89p-1, 0x1.21006d1ee0324p-55},
    {0x1.8d7632efaa944p-3, -0x1.20fa262cbb953p-57, 0x1.f643efeb82acdp-1, 0x1.6b00ac1fe28acp-56},
    {0x1.954e7aa577d22p-3, 0x1.add11e2b03481p-57, 0x1.f5df974d73509p-1, -0x1.1041b91c41e29p-55},
    {0x1.9d252d0cec312p-3, 0x1.9c43d80b1137dp-58, 0x1.f57948cff6797p-1, 0x1.e3a0d3e03b1d4p-57},
    {0x1.a4fa424f55f0fp-3, 0x1.88fc2611aa255p-57, 0x1.f51104d95a9c8p-1, -0x1.1bc67d4243730p-55},
    {0x1.accdb297a0765p-3, -0x1.9883b57d6cdeap-58, 0x1.f4a6cbd1e3a79p-1, 0x1.13df0edaebb57p-55},
    {0x1.b49f76125c1fdp-3, 0x1.697d0c986b191p-60, 0x1.f43a9e23ca996p-1, -0x1.c057991f742e7p-55},
    {0x1.bc6f84edc6199p-3, 0x1.9c1a56a7b0cabp-57, 0x1.f3cc7c3b3d16ep-1, -0x1.21a3ad28a3494p-57},
    {0x1.c43dd759d02eep-3, -0x1.5bcc2e3046626p-63, 0x1.f35c66865cff8p-1, 0x1.7cda41f3feef8p-55},
    {0x1.cc0a6588289a3p-3, -0x1.868d09bc87c6bp-57, 0x1.f2ea5d753ffedp-1, 0x1.cc4215f56d583p-55},
    {0x1.d3d527ac41d38p-3, -0x1.6fa59a447a134p-58, 0x1.f2766179ef1c7p-1, -0x1.2932f8987bcb6p-57},
    {0x1.db9e15fb5a5d0p-3, -0x1.32e20d6cc6fc2p-57, 0x1.f20073086649fp-1, 0x1.b940416c1984bp-56},
    {0x1.e36528ac848dap-3, -0x1.240b73f3963fep-60, 0x1.f188929693ef2p-1, -0x1.81f656ea94ccfp-55},
    {0x1.eb2a57f8ae5a3p-3, -0x1.0be06af572cebp-57, 0x1.f10ec09c5873bp-1, 0x1.d9072762c1283p-55},
    {0x1.f2ed9c1aa91c4p-3, -0x1.6142de810c2b7p-57, 0x1.f092fd9385c7ep-1, 0x1.750563a9bed86p-59},
    {0x1.faaeed4f31577p-3, -0x1.15d88508e32b8p-57, 0x1.f01549f7deea1p-1, 0x1.d3c1e99e5cafdp-55},
    {0x1.013721ea7b3e5p-2, 0x1.10fa1d5106315p-56, 0x1.ef95a647176b9p-1, -0x1.a2aefc066f251p-55},
    {0x1.0515cbf65155cp-2, -0x1.9b8c29dfd8ec7p-56, 0x1.ef141300d2f26p-1, -0x1.2aa1b08ded372p-55},
    {0x1.08f370ec7138ap-2, -0x1.183d7d425e7ecp-57, 0x1.ee9090a6a4ba0p-1, 0x1.48d59a9171632p-55},
    {0x1.0cd00cef36436p-2, -0x1.9fb0a0c93e2b4p-56, 0x1.ee0b1fbc0f11cp-1, -0x1.bfd2380bbc3b1p-59},
    {0x1.10ab9c2204c59p-2, -0x1.843c6295a07bfp-56, 0x1.ed83c0c682d90p-1, 0x1.8605a9115beaep-57},
    {0x1.14861aa94ddebp-2, -0x1.be881b5b615a4p-57, 0x1.ecfa744d5efa1p-1, -0x1.56d0a4af541d0p-58},
    {0x1.185f84aa9359bp-2, -0x1.5486ede74dbb2p-57, 0x1.ec6f3ad9efe2ap-1, -0x1.0bc0bfbb6aeaap-55},
    {0x1.1c37d64c6b876p-2, 0x1.46076fe0dcff4p-56, 0x1.ebe214f76efa8p-1, -0x1.02f9f12ba543ep-55},
    {0x1.200f0bb685180p-2, 0x1.31bdc968ef588p-57, 0x1.eb53033302187p-1, -0x1.40e3e817e1641p-56},
    {0x1.23e52111aaf36p-2, -0x1.4f080334eff18p-56, 0x1.eac2061bbaf4fp-1, 0x1.2c1d53e94658dp-57},
    {0x1.27ba1287c8102p-2, -0x1.0fb418a5581b0p-59, 0x1.ea2f1e42969b4p-1, -0x1.bd66b6627d017p-55},
    {0x1.2b8ddc43eb49fp-2, 0x1.1553899f2d807p-57, 0x1.e99a4c3a7cd83p-1, -0x1.2264b1bc53ce8p-55},
    {0x1.2f607a724b365p-2, 0x1.70f6b47bd3fc4p-56, 0x1.e90390983fa78p-1, -0x1.28954c7f8dd8fp-55},
    {0x1.3331e94049f87p-2, 0x1.e0cb6b40c302cp-56, 0x1.e86aebf29a9edp-1, 0x1.9397afdbb58a7p-55},
    {0x1.370224dc7913dp-2, -0x1.badca2c0c47d0p-57, 0x1.e7d05ee232573p-1, -0x1.c4621b65d22fbp-55},
    {0x1.3ad129769d3d8p-2, 0x1.03d550487839ap-63, 0x1.e733ea0193d40p-1, -0x1.6428b3546ce13p-55},
    {0x1.3e9ef33fb22cbp-2, -0x1.cd85ab33f11b4p-58, 0x1.e6958ded33e8ep-1, -0x1.a2d4a62b00c99p-59},
    {0x1.426b7e69ee697p-2, -0x1.f09c75705c59fp-56, 0x1.e5f54b436e9d0p-1, 0x1.7eb0fd02fc8bcp-55},
    {0x1.4636c728c71a8p-2, -0x1.3e9c8df9261a7p-57, 0x1.e55322a4868cep-1, -0x1.ff59bf4b08084p-55},
    {0x1.4a00c9b0f3d20p-2, 0x1.823ba6bb08eadp-56, 0x1.e4af14b2a449cp-1, -0x1.68ca02e8a6833p-55},
    {0x1.4dc982387258bp-2, -0x1.57b6fc37e14d8p-56, 0x1.e4092211d5b7ep-1, 0x1.bc7573acc79e9p-56},
    {0x1.5190ecf68a77ap-2, 0x1.b357155eef0f3p-56, 0x1.e3614b680d6a5p-1, -0x1.27793aa015237p-56},
    {0x1.55570623d1c18p-2, 0x1.4cdaa70975dbep-59, 0x1.e2b7915d21fccp-1, 0x1.3149be81a8fd3p-55},
    {0x1.591bc9fa2f597p-2, 0x1.7c74bac3fe0cbp-57, 0x1.e20bf49acd6c1p-1, -0x1.660aec7ef636bp-58},
    {0x1.5cdf34b4dfb98p-2, 0x1.7458b493a1d20p-56, 0x1.e15e75ccac6c3p-1, 0x1.3261811c2a8d6p-55},
    {0x1.60a1429078775p-2, 0x1.b1fd80ba89133p-58, 0x1.e0af15a03dbcep-1, 0x1.fe8e702771ae6p-58},
    {0x1.6461efcaec077p-2, -0x1.94dc7178bd734p-56, 0x1.dffdd4c4e17bep-1, 0x1.51415af290396p-55},
    {0x1.682138a38d7f7p-2, -0x1.d889202444aadp-56, 0x1.df4ab3ebd875ep-1, -0x1.e2d8a7e6736c4p-55},
    {0x1.6bdf195b1456ap-2, -0x1.1c05d4d4179b8p-57, 0x1.de95b3c84374dp-1, 0x1.8b4bf71c7de42p-55},
    {0x1.6f9b8e33a0255p-2, 0x1.42bc14ee9da0dp-56, 0x1.ddded50f228d6p-1, -0x1.e80c8d42ba2bfp-57},
    {0x1.73569370bc62bp-2, 0x1.bf3442bdd527ep-56, 0x1.dd26187754695p-1, 0x1.f16517d83bbcap-56},
    {0x1.7710255764214p-2, -0x1.6ead7314bb6cep-57, 0x1.dc6b7eb995912p-1, 0x1.4b364776dcd35p-58},
    {0x1.7ac8402e05c9bp-2, 0x1.a39e39ea9f25cp-56, 0x1.dbaf08907fb2fp-1, 0x1.9a5395924f2ffp-55},
    {0x1.7e7ee03c86d4ep-2, -0x1.b63bcdabf5af2p-56, 0x1.daf0b6b888e83p-1, 0x1.a249e2b5e5ceap-55},
    {0x1.823401cc47836p-2, -0x1.08091b8d964c7p-56, 0x1.da3089f002f90p-1, -0x1.15b9a62d60141p-55},
    {0x1.85e7a12826949p-2, 0x1.8a40e9b5face0p-56, 0x1.d96e82f71a9dcp-1, 0x1.ff61bd5d2039dp-55},
    {0x1.8999ba9c84fbap-2, 0x1.c1fef1753c7bfp-59, 0x1.d8aaa28fd6bf6p-1, -0x1.d74eb5f28a765p-55},
    {0x1.8d4a4a774992fp-2, 0x1.44a02ea766326p-56, 0x1.d7e4e97e17b4ap-1, -0x1.3b770352bed94p-57},
    {0x1.90f94d07e4ce8p-2, 0x1.32c8fb2f2ea25p-56, 0x1.d71d5887967eep-1, -0x1.516e003d9dd64p-58},
    {0x1.94a6be9f546c5p-2, -0x1.69ce13e683f58p-56, 0x1.d653f073e4040p-1, -0x1.76236434bec37p-55},
    {0x1.98529b9027235p-2, -0x1.70c0c231d4808p-56, 0x1.d588b20c6846ep-1, -0x1.bef54b0f32a77p-55},
    {0x1.9bfce02e80510p-2, 0x1.09e39a320b0a4p-56, 0x1.d4bb9e1c619e0p-1, 0x1.f34bb77858f61p-55},
    {0x1.9fa588d01ba55p-2, -0x1.6aa35ae5de16ap-59, 0x1.d3ecb570e3e87p-1, 0x1.8b4d9843b2bf5p-55},
    {0x1.a34c91cc50ccap-2, -0x1.a310e3b50cecdp-58, 0x1.d31bf8d8d7c06p-1, 0x1.e60dd3089cbddp-56},
    {0x1.a6f1f77c1718ap-2, 0x1.e7b0a3486494fp-56, 0x1.d2496924f9ac7p-1, 0x1.f17673d6927ffp-55},
    {0x1.aa95b63a09277p-2, -0x1.6293eb13c0381p-57, 0x1.d1750727d94f0p-1, 0x1.0d52b1ec1a48ep-55},
    {0x1.ae37ca626888ap-2, 0x1.2d294cf918262p-57, 0x1.d09ed3b5d8937p-1, 0x1.a8d847bc2c5bbp-55},
    {0x1.b1d8305321617p-2, -0x1.ae242cb99f519p-56, 0x1.cfc6cfa52ad9fp-1, 0x1.8b5b5508f2a0dp-55},
    {0x1.b576e46bce0e6p-2, 0x1.beb8a2f9cde89p-56, 0x1.ceecfbcdd4213p-1, 0x1.b682a76d7e904p-60},
    {0x1.b913e30dbac43p-2, -0x1.e38ad2f6c3ff1p-56, 0x1.ce115909a82e5p-1, 0x1.1f139bb31109ap-55},
    {0x1.bcaf289be92ddp-2, 0x1.8b06e5fb8daacp-56, 0x1.cd33e83449b34p-1, 0x1.61068cd16da9fp-57},
    {0x1.c048b17b140a3p-2, 0x1.19fe6757e9fa7p-57, 0x1.cc54aa2b2972ep-1, 0x1.4ee162ba83a98p-57},
    {0x1.c3e07a11b2c6ep-2, -0x1.76c26153de447p-57, 0x1.cb739fcd8563cp-1, -0x1.7e793b55ea6a2p-55},
    {0x1.c7767ec7fd19ep-2, -0x1.eb14d1a3d5826p-58, 0x1.ca90c9fc67d0bp-1, -0x1.46a81485e3462p-57},
    {0x1.cb0abc07ee997p-2, -0x1.2d6ebfce7c050p-56, 0x1.c9ac299aa677fp-1, 0x1.7560844703578p-55},
    {0x1.ce9d2e3d4a51fp-2, -0x1.2fc8a12dae298p-57, 0x1.c8c5bf8ce1a84p-1, 0x1.ab3d1a1590123p-56},
    {0x1.d22dd1d59e5a4p-2, -0x1.3a439e78d5440p-57, 0x1.c7dd8cb9835c3p-1, -0x1.dd23c3aa785f7p-55},
    {0x1.d5bca34047661p-2, 0x1.28a44a75fc29cp-56, 0x1.c6f39208be53bp-1, -0x1.741dbfbaadb42p-55},
    {0x1.d9499eee7456bp-2, 0x1.40792a7dee83dp-59, 0x1.c607d0648d2c1p-1, -0x1.2169fa0e8ce47p-56},
    {0x1.dcd4c15329c9ap-2, 0x1.0d4c6e171fd9ap-56, 0x1.c51a48b8b175ep-1, -0x1.1bbb43b9aa880p-57},
    {0x1.e05e06e345a5dp-2, 0x1.0f838535e3a93p-57, 0x1.c42afbf2b2c93p-1, -0x1.f2a77b07f14e6p-57},
    {0x1.e3e56c1582a69p-2, -0x1.0a4821099f88fp-58, 0x1.c339eb01ddd81p-1, -0x1.caaf5ee82c5c0p-55},
    {0x1.e76aed627be4ep-2, 0x1.8937d7fe3f57fp-56, 0x1.c24716d7437f3p-1, -0x1.4874850e5d927p-56},
    {0x1.eaee8744b05f0p-2, -0x1.789b43c9b027dp-58, 0x1.c1528065b7d50p-1, -0x1.892111312e828p-55},
    {0x1.ee703638867dap-2, -0x1.3872f1aaf5cbdp-56, 0x1.c05c28a1d1369p-1, 0x1.f9a1ac93aee95p-55},
    {0x1.f1eff6bc4f97bp-2, 0x1.17212f8a7525cp-56, 0x1.bf641081e7536p-1, 0x1.b7bd71628a9a1p-55},
    {0x1.f56dc5504b742p-2, 0x1.a18434fc65e81p-56, 0x1.be6a38fe1236ap-1, 0x1.fdab7587b02acp-56},
    {0x1.f8e99e76abc97p-2, 0x1.9d950af2d00a3p-58, 0x1.bd6ea310294f5p-1, 0x1.31bbcc88c109dp-56},
    {0x1.fc637eb397bb8p-2, 0x1.d8f507b2ea243p-56, 0x1.bc714fb3c2766p-1, 0x1.eb19c8a06c310p-56},
    {0x1.ffdb628d2f57ap-2, 0x1.f4a992e905b6ap-57, 0x1.bb723fe630f32p-1, 0x1.72bd2452d0a39p-56},
    {0x1.01a8a345c7871p-1, 0x1.a6deb08435ee0p-55, 0x1.ba7174a6847dep-1, -0x1.defb28953f677p-60},
    {0x1.0362939c69955p-1, -0x1.2d8cd78397b01p-55, 0x1.b96eeef58840ep-1, 0x1.45a3cc78fade0p-58},
    {0x1.051b80908da4ap-1, 0x1.f7686b96f8f0ep-57, 0x1.b86aafd5c1d79p-1, 0x1.a6cc07549db15p-55},
    {0x1.06d3686946e5bp-1, 0x1.3f5ae4538ff1bp-55, 0x1.b764b84b704c2p-1, -0x1.f5848c21b389bp-55},
    {0x1.088a496eada47p-1, 0x1.e07780127666dp-56, 0x1.b65d095c8b12ep-1, 0x1.1d33cb4db26bdp-56},
    {0x1.0a4021e9e1001p-1, -0x1.6f643a13914f6p-55, 0x1.b553a410c104ep-1, 0x1.8ff7947027a15p-58},
    {0x1.0bf4f02508a1cp-1, 0x1.da0ced695fe43p-57, 0x1.b44889717757cp-1, 0x1.b17c0070c2815p-61},
    {0x1.0da8b26b5672ep-1, -0x1.a58def0bee909p-55, 0x1.b33bba89c8948p-1, 0x1.ea6a51d1f6ca9p-55},
    {0x1.0f5b670908515p-1, 0x1.a7ed13e5fbb05p-56, 0x1.b22d3866838c8p-1, -0x1.6e9a5f4ff5b7dp-59},
    {0x1.110d0c4b69c3bp-1, 0x1.d918998809981p-55, 0x1.b11d04162a4c6p-1, 0x1.1dd561efbc0c2p-56},
    {0x1.12bda080d5abcp-1, 0x1.d3a97fee7e959p-55, 0x1.b00b1ea8f10dep-1, -0x1.958d71955fb3fp-55},
    {0x1.146d21f8b7f82p-1, 0x1.bf9535e2739a8p-56, 0x1.aef78930bd275p-1, -0x1.f836279746f94p-56},
    {0x1.161b8f038f54ep-1, -0x1.c5ee5cde48178p-58, 0x1.ade244c123f9fp-1, 0x1.8d3fc4dfa0f9cp-55},
    {0x1.17c8e5f2eedb0p-1, 0x1.35e57102e2488p-57, 0x1.accb526f69de5p-1, 0x1.8fb6a8dd6b6ccp-55},
    {0x1.197525197fbefp-1, 0x1.810a2d8e3468ap-57, 0x1.abb2b352810eep-1, 0x1.db59f6f843f91p-55},
    {0x1.1b204acb02fddp-1, -0x1.f190c70cbb5fep-58, 0x1.aa98688308913p-1, -0x1.b83d607cd5072p-63},
    {0x1.1cca555c5309bp-1, -0x1.fc53db3120a83p-58, 0x1.a97c731b4b1d2p-1, 0x1.1245d6144e0cdp-56},
    {0x1.1e7343236574cp-1, 0x1.22a3fa4f41d5ap-56, 0x1.a85ed4373e02dp-1, 0x1.9be06385ec792p-57},
    {0x1.201b12774c9b6p-1, -0x1.d31fe293d1034p-59, 0x1.a73f8cf4800e8p-1, -0x1.c372ed4bdefbfp-57},
    {0x1.21c1c1b0394cfp-1, 0x1.e5b324b23aa31p-58, 0x1.a61e9e72586afp-1, 0x1.58330e2fd453fp-55},
    {0x1.23674f277c73cp-1, 0x1.87167f61285ffp-56, 0x1.a4fc09d1b5825p-1, -0x1.4cce741fb33a5p-55},
    {0x1.250bb93788bbbp-1, 0x1.ea3d02457bccep-56, 0x1.a3d7d0352bdcfp-1, -0x1.68dbaeca19669p-55},
    {0x1.26aefe3bf437cp-1, -0x1.657b40100c3a6p-60, 0x1.a2b1f2c0f4ff0p-1, 0x1.c9fe748eedc9cp-56},
    {0x1.28511c917a067p-1, -0x1.01df1d9a16b70p-55, 0x1.a18a729aee445p-1, 0x1.95e25736c0357p-60},
    {0x1.29f21295fbf51p-1, -0x1.6bd333b0b0cbbp-55, 0x1.a06150ea97ba3p-1, 0x1.bc4a6cdcbf214p-55},
    {0x1.2b91dea88421ep-1, -0x1.fa371db216ab0p-55, 0x1.9f368ed912f85p-1, -0x1.1d200c5791606p-55},
    {0x1.2d307f29469cfp-1, 0x1.ba5fe5f921e0bp-56, 0x1.9e0a2d9121f73p-1, -0x1.5e7ba2bd64f0ap-56},
    {0x1.2ecdf279a3082p-1, 0x1.d3557e0e7e37ep-55, 0x1.9cdc2e3f25e5cp-1, 0x1.3f99112993f62p-55},
    {0x1.306a36fc26359p-1, -0x1.21305ba6473abp-55, 0x1.9bac92111dfcep-1, 0x1.0ce9c6f353e9ap-55},
    {0x1.32054b148bc4fp-1, 0x1.f6b42095a135bp-55, 0x1.9a7b5a36a6514p-1, 0x1.722cfcc9fa7a9p-55},
    {0x1.339f2d27bfc05p-1, -0x1.ddf4717254e6fp-55, 0x1.994887e0f6a3fp-1, 0x1.0be6cea471d02p-56},
    {0x1.3537db9be0367p-1, 0x1.b327e7af040f0p-57, 0x1.98141c42e1310p-1, 0x1.d1ff80488f08dp-55},
    {0x1.36cf54d83ed56p-1, 0x1.6e1f20c8b5b7dp-57, 0x1.96de1890d17cep-1, 0x1.caa25dc8e6991p-55},
    {0x1.386597456282bp-1, -0x1.10fada93b07a8p-56, 0x1.95a67e00cb1fdp-1, -0x1.0befda21f862dp-55},
    {0x1.39faa14d08f31p-1, -0x1.cd164b88ce902p-57, 0x1.946d4dca688fcp-1, 0x1.02c6f2978af1dp-55},
    {0x1.3b8e715a2840ap-1, -0x1.97653a7d2f07ap-56, 0x1.93328926d9e92p-1, -0x1.bb77003600cdap-55},
    {0x1.3d2105d8f07fep-1, 0x1.1602a42d4b3d4p-57, 0x1.91f63150e3b52p-1, -0x1.80bd33fb3df2ep-57},
    {0x1.3eb25d36cd53ap-1, -0x1.be570e1570fc0p-58, 0x1.90b84784ddaf7p-1, -0x1.0feb10ab93b87p-56},
    {0x1.404275e2677f7p-1, -0x1.f859aade89fd2p-56, 0x1.8f78cd00b1899p-1, -0x1.d5d3da9ac3dd3p-58},
    {0x1.41d14e4ba6790p-1, 0x1.4608fd287ecf5p-55, 0x1.8e37c303d9ad1p-1, -0x1.463a4b53d4bf8p-57},
    {0x1.435ee4e3b1f86p-1, 0x1.fd05667361565p-55, 0x1.8cf52acf5ffc0p-1, 0x1.eb45b71ac7cc5p-56},
    {0x1.44eb381cf386bp-1, -0x1.3ed6c1e6a5505p-55, 0x1.8bb105a5dc900p-1, 0x1.863e03e9474c1p-55},
    {0x1.4676466b180b9p-1, 0x1.d4f2a623cabd3p-56, 0x1.8a6b54cb74779p-1, 0x1.754938eccac38p-55},
    {0x1.48000e431159fp-1, -0x1.b194a7463ed10p-55, 0x1.89241985d871fp-1, 0x1.c48d9c413ed84p-55},
    {0x1.49888e1b17ba8p-1, 0x1.85f236b9ef692p-56, 0x1.87db551c43a98p-1, 0x1.cc790421e159ap-58},
    {0x1.4b0fc46aab761p-1, 0x1.0da05738cc59cp-61, 0x1.869108d77a6c6p-1, 0x1.338ffe2bfe9ddp-56},
    {0x1.4c95afaa965d9p-1, 0x1.99f87b905eef7p-55, 0x1.85453601c8e3ep-1, -0x1.8826853e7560ap-57},
    {0x1.4e1a4e54ed51bp-1, -0x1.a492f89b7c76ap-55, 0x1.83f7dde701ca0p-1, -0x1.152cf609bc6e8p-59},
    {0x1.4f9d9ee511c85p-1, 0x1.2ed6c74c625f7p-55, 0x1.82a901d47d1dcp-1, 0x1.7cbb4128c4c1ep-55},
    {0x1.511f9fd7b351cp-1, -0x1.5c0e861c48831p-55, 0x1.8158a31916d5dp-1, -0x1.de8b90b8228dep-57},
    {0x1.52a04faad11b6p-1, 0x1.07d7bd78bcb9cp-55, 0x1.8006c3052d917p-1, 0x1.aa8fb560a8d95p-55},
    {0x1.541facddbb724p-1, 0x1.232c28520d391p-56, 0x1.7eb362eaa1488p-1, 0x1.a1d65a4a5959fp-58},
    {0x1.559db5f115436p-1, -0x1.7229f7edd6050p-56, 0x1.7d5e841cd1f93p-1, 0x1.ba5492fa6d189p-58},
    {0x1.571a6966d59b3p-1, 0x1.c843b4d0fb197p-58, 0x1.7c0827f09e54fp-1, -0x1.c73d6d72aee68p-57},
    {0x1.5895c5c24923bp-1, 0x1.b97f22c957c4fp-55, 0x1.7ab04fbc626b6p-1, 0x1.36a41f9c8150ap-55},
    {0x1.5a0fc98813a12p-1, -0x1.d82e2b7d4227bp-55, 0x1.7956fcd7f6543p-1, -0x1.ab276e9d45ae4p-55},
    {0x1.5b88733e316d1p-1, -0x1.077c33cd5e751p-55, 0x1.77fc309cacd6ep-1, 0x1.a61550088db65p-58},
    {0x1.5cffc16bf8f0dp-1, 0x1.96cb370eb578ap-55, 0x1.769fec655211fp-1, -0x1.827d5cf8c68c5p-57},
    {0x1.5e75b29a1c1dfp-1, 0x1.c266e6544ba29p-55, 0x1.7542318e2a1fap-1, 0x1.da5b28e9eb3b9p-55},
    {0x1.5fea4552a9e57p-1, 0x1.0b6cef7ee20b7p-55, 0x1.73e30174efba1p-1, -0x1.5d3ae3d94ad5fp-57},
    {0x1.615d78210faddp-1, -0x1.e3827d0c03315p-56, 0x1.72825d78d2dd2p-1, -0x1.5c7ee90b400a9p-55},
    {0x1.62cf49921ac79p-1, -0x1.edd9855b6241ap-55, 0x1.712046fa77678p-1, 0x1.425b0a5029c81p-55},
    {0x1.643fb833f9e07p-1, -0x1.4a1c5cd0442cdp-57, 0x1.6fbcbf5bf3ba2p-1, 0x1.eaec3811b3b5dp-55},
    {0x1.65aec2963e755p-1, 0x1.126f96b71053cp-55, 0x1.6e57c800cf55ep-1, 0x1.60286dedbd0a6p-55},
    {0x1.671c6749de429p-1, -0x1.57b95de1e1fdfp-55, 0x1.6cf1624e01782p-1, 0x1.d2f32a51e82e8p-56},
    {0x1.6888a4e134b2fp-1, -0x1.6b7d37644d5e6p-55, 0x1.6b898fa9efb5dp-1, 0x1.15ac786ccf4b2p-56},
    {0x1.69f379f0044d7p-1, 0x1.d89d29f8584f8p-55, 0x1.6a20517c6c950p-1, 0x1.a6fd059b9724cp-55},
};

// Taylor coefficients: sin t = t + t * z * S(z), cos t = 1 + z * C(z), z = t^2, |t| <= 2^-9.
// The first omitted terms are below 2^-101 relative.
constexpr double kS3 = -1.0 / 6, kS5 = 1.0 / 120, kS7 = -1.0 / 5040, kS9 = 1.0 / 362880;
constexpr double kC2 = -0.5, kC4 = 1.0 / 24, kC6 = -1.0 / 720, kC8 = 1.0 / 40320;

// ---- The long path: 256-bit fixed point ---------------------------------------------------

// Value = sum of limb[i] * 2^(32 i - 256): eight fraction limbs and one integer limb.
constexpr int kLimbs = 9;
using TLong = std::array<uint32_t, kLimbs>;

// 2/pi as 48 big-endian 32-bit words of its binary fraction (1536 bits).
constexpr uint32_t kTwoOverPiWords[48] = {
    0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0, 0xDB629599, 0x3C439041, 0xFE5163AB, 0xDEBBC561,
    0xB7246E3A, 0x424DD2E0, 0x06492EEA, 0x09D1921C, 0xFE1DEB1C, 0xB129A73E, 0xE88235F5, 0x2EBB4484,
    0xE99C7026, 0xB45F7E41, 0x3991D639, 0x835339F4, 0x9C845F8B, 0xBDF9283B, 0x1FF897FF, 0xDE05980F,
    0xEF2F118B, 0x5A0A6D1F, 0x6D367ECF, 0x27CB09B7, 0x4F463F66, 0x9E5FEA2D, 0x7527BAC7, 0xEBE5F17B,
    0x3D0739F7, 0x8A5292EA, 0x6BFB5FB1, 0x1F8D5D08, 0x56033046, 0xFC7B6BAB, 0xF0CFBC20, 0x9AF4361D,
    0xA9E39161, 0x5EE61B08, 0x6599855F, 0x14A06840, 0x8DFFD880, 0x4D732731, 0x06061556, 0xCA73A8C9,
};

// pi/2 truncated to 256 fraction bits.
constexpr TLong kPiOverTwoLong = {0x76273644, 0x04177D4C, 0x14CF98E8, 0x52049C11, 0x01B839A2,
                                  0x898CC517, 0x42D18469, 0x921FB544, 0x00000001};

constexpr TLong kOneLong = {0, 0, 0, 0, 0, 0, 0, 0, 1};

// a * b truncated to 256 fraction bits; both below 2.
TLong MultiplyLong(const TLong& a, const TLong& b) {
  uint32_t product[2 * kLimbs] = {};
  for (int i = 0; i < kLimbs; ++i) {
    uint64_t carry = 0;
    for (int j = 0; j < kLimbs; ++j) {
      const uint64_t t = static_cast<uint64_t>(a[i]) * b[j] + product[i + j] + carry;
      product[i + j] = static_cast<uint32_t>(t);
      carry = t >> 32;
    }
    product[i + kLimbs] = static_cast<uint32_t>(carry);
  }
  TLong result;
  for (int i = 0; i < kLimbs; ++i) {
    result[i] = product[i + kLimbs - 1];
  }
  return result;
}

// a / d truncated, for a small divisor.
TLong DivideLong(TLong a, uint32_t d) {
  uint64_t remainder = 0;
  for (int i = kLimbs - 1; i >= 0; --i) {
    const uint64_t current = (remainder << 32) | a[i];
    a[i] = static_cast<uint32_t>(current / d);
    remainder = current % d;
  }
  return a;
}

TLong AddLong(const TLong& a, const TLong& b) {
  TLong result;
  uint64_t carry = 0;
  for (int i = 0; i < kLimbs; ++i) {
    const uint64_t t = static_cast<uint64_t>(a[i]) + b[i] + carry;
    result[i] = static_cast<uint32_t>(t);
    carry = t >> 32;
  }
  return result;
}

// a - b for a >= b.
TLong SubtractLong(const TLong& a, const TLong& b) {
  TLong result;
  uint64_t borrow = 0;
  for (int i = 0; i < kLimbs; ++i) {
    const uint64_t t = static_cast<uint64_t>(a[i]) - b[i] - borrow;
    result[i] = static_cast<uint32_t>(t);
    borrow = (t >> 32) & 1;
  }
  return result;
}

bool IsZeroLong(const TLong& a) {
  for (uint32_t limb : a) {
    if (limb != 0) {
      return false;
    }
  }
  return true;
}

// The 32 bits from bit ParaPosition up of a little-endian word array; bits outside the
// array read as zero.
uint32_t WordAt(const uint32_t* ParaWords, int ParaWordCount, int ParaPosition) {
  const int word = ParaPosition >= 0 ? ParaPosition / 32 : -((31 - ParaPosition) / 32);
  const int shift = ParaPosition - 32 * word;
  const auto limb = [&](int ParaIndex) -> uint64_t {
    return ParaIndex >= 0 && ParaIndex < ParaWordCount ? ParaWords[ParaIndex] : 0;
  };
  return static_cast<uint32_t>((limb(word) | (limb(word + 1) << 32)) >> shift);
}

// Bits [ParaPosition, ParaPosition + ParaCount) as an integer, ParaCount <= 64.
uint64_t GetBits(const uint32_t* ParaWords, int ParaWordCount, int ParaPosition, int ParaCount) {
  const uint64_t bits = WordAt(ParaWords, ParaWordCount, ParaPosition) |
                        static_cast<uint64_t>(WordAt(ParaWords, ParaWordCount, ParaPosition + 32))
                            << 32;
  return ParaCount == 64 ? bits : bits & ((uint64_t{1} << ParaCount) - 1);
}

// Whether any bit below ParaPosition (>= 0) is set.
bool AnyBitBelow(const uint32_t* ParaWords, int ParaPosition) {
  for (int word = 0; 32 * word < ParaPosition; ++word) {
    const int bits = ParaPosition - 32 * word;
    const uint32_t mask = bits >= 32 ? 0xFFFFFFFFu : (uint32_t{1} << bits) - 1;
    if ((ParaWords[word] & mask) != 0) {
      return true;
    }
  }
  return false;
}

// The nearest double (ties to even) to a positive fixed-point value.
double RoundLong(const TLong& ParaValue) {
  int top = kLimbs - 1;
  while (ParaValue[top] == 0) {
    --top;
  }
  const int msb = 32 * top + 31 - std::countl_zero(ParaValue[top]);
  uint64_t mantissa = GetBits(ParaValue.data(), kLimbs, msb - 52, 53);
  const bool half = GetBits(ParaValue.data(), kLimbs, msb - 53, 1) != 0;
  if (half && ((mantissa & 1) != 0 || AnyBitBelow(ParaValue.data(), msb - 53))) {
    ++mantissa; // 2^53 is still exact
  }
  return std::ldexp(static_cast<double>(mantissa), msb - 52 - 256);
}

// |x| = (4 n + ParaQuadrant) pi/2 +- r with 0 <= r <= pi/4; ParaNegative gives the sign of r.
TLong ReduceLong(double ParaAbsX, int& ParaQuadrant, bool& ParaNegative) {
  int exponent;
  const double fraction = std::frexp(ParaAbsX, &exponent);
  const uint64_t mantissa = static_cast<uint64_t>(std::ldexp(fraction, 53));
  const int e = exponent - 53; // |x| = mantissa * 2^e
  // Words of 2/pi whose product with |x| is a multiple of 4 do not matter.
  const int first = e >= 2 ? (e - 2) / 32 : 0;
  constexpr int kWindow = 10;
  uint32_t window[kWindow]; // little-endian
  for (int i = 0; i < kWindow; ++i) {
    window[i] = kTwoOverPiWords[first + kWindow - 1 - i];
  }
  constexpr int kProductWords = kWindow + 4;
  uint32_t product[kProductWords] = {};
  const uint32_t parts[2] = {static_cast<uint32_t>(mantissa),
                             static_cast<uint32_t>(mantissa >> 32)};
  for (int p = 0; p < 2; ++p) {
    uint64_t carry = 0;
    for (int i = 0; i < kWindow; ++i) {
      const uint64_t t = static_cast<uint64_t>(window[i]) * parts[p] + product[i + p] + carry;
      product[i + p] = static_cast<uint32_t>(t);
      carry = t >> 32;
    }
    for (int i = kWindow + p; carry != 0 && i < kProductWords; ++i) {
      const uint64_t t = static_cast<uint64_t>(product[i]) + carry;
      product[i] = static_cast<uint32_t>(t);
      carry = t >> 32;
    }
  }
  // The binary point of |x| * 2/pi lies this many bits above the product's lowest bit; the
  // 2/pi bits left out below the window change the fraction by less than 2^-237.
  const int point = 32 * (first + kWindow) - e;
  ParaQuadrant = static_cast<int>(GetBits(product, kProductWords, point, 2));
  TLong fractionLong{};
  for (int i = 0; i < kLimbs - 1; ++i) {
    fractionLong[i] =
        static_cast<uint32_t>(GetBits(product, kProductWords, point - 256 + 32 * i, 32));
  }
  ParaNegative = (fractionLong[kLimbs - 2] >> 31) != 0;
  if (ParaNegative) {
    fractionLong = SubtractLong(kOneLong, fractionLong);
    ParaQuadrant = (ParaQuadrant + 1) & 3;
  }
  return MultiplyLong(fractionLong, kPiOverTwoLong);
}

// sin r (ParaCosine false) or cos r for 0 <= r <= pi/4, by the Taylor series.
TLong SineCosineLong(const TLong& ParaR, bool ParaCosine) {
  const TLong square = MultiplyLong(ParaR, ParaR);
  TLong term = ParaCosine ? kOneLong : ParaR;
  TLong sum = term;
  for (uint32_t n = ParaCosine ? 1 : 2;; n += 2) {
    term = DivideLong(MultiplyLong(term, square), n * (n + 1));
    if (IsZeroLong(term)) {
      break;
    }
    // The terms fall, so the alternating partial sums stay positive.
    sum = ((n + 1) / 2) % 2 == 1 ? SubtractLong(sum, term) : AddLong(sum, term);
  }
  return sum;
}

// Quadrant bookkeeping shared by both paths, as 0/1 integers so that it costs no branch:
// for |x| = q pi/2 + r, whether the result is cos r rather than sin r, and whether the
// quadrant negates it. ParaCosine is 1 for cos x.
inline int UsesCosineOfR(int ParaCosine, int ParaQuadrant) {
  return (ParaQuadrant & 1) ^ ParaCosine;
}
inline int NegatesForQuadrant(int ParaCosine, int ParaQuadrant) {
  return ((ParaQuadrant + ParaCosine) >> 1) & 1;
}

// The result's sign: the quadrant's, that of r for sin r (odd), that of x for sin x (odd).
inline double SignOf(int ParaCosine, int ParaQuadrant, int ParaNegativeR, int ParaNegativeX) {
  constexpr double kSigns[2] = {1.0, -1.0};
  const int negative = NegatesForQuadrant(ParaCosine, ParaQuadrant) ^
                       (ParaNegativeR & (UsesCosineOfR(ParaCosine, ParaQuadrant) ^ 1)) ^
                       (ParaNegativeX & (ParaCosine ^ 1));
  return kSigns[negative];
}

double EvaluateLong(double ParaAbsX, int ParaCosine, int ParaNegativeX) {
  int quadrant;
  bool negativeR;
  const TLong r = ReduceLong(ParaAbsX, quadrant, negativeR);
  const double magnitude = RoundLong(SineCosineLong(r, UsesCosineOfR(ParaCosine, quadrant)));
  return SignOf(ParaCosine, quadrant, negativeR ? 1 : 0, ParaNegativeX) * magnitude;
}

// ---- The fast path ----------------------------------------------------------------------

// |x| = k pi/2 + r, r = j/256 + t, with the Taylor polynomials of t.
struct TFastReduction {
  double mK;
  int mQuadrant;
  int mNegativeR;
  const double* mRow;
  double mTHigh, mTLow, mSinPoly, mCosPoly;
};

inline void ReduceFast(double ParaAbsX, TFastReduction& ParaOut) {
  const double k = (ParaAbsX * kTwoOverPi + kRoundingShift) - kRoundingShift;
  // r = |x| - k pi/2, the first subtraction exact by Sterbenz's lemma.
  const double a = ParaAbsX - k * kPiOverTwo1;
  double s, sError;
  TwoSum(a, -(k * kPiOverTwo2), s, sError);
  const double p = k * kPiOverTwo3;
  const double pError = (k * kPiOverTwo3High - p) + k * kPiOverTwo3Low;
  double s2, s2Error;
  TwoSum(s, -p, s2, s2Error);
  const double tail = ((sError - pError) + s2Error) - k * kPiOverTwo4;
  double rHigh, rLow;
  TwoSum(s2, tail, rHigh, rLow);

  ParaOut.mK = k;
  ParaOut.mQuadrant = static_cast<int>(static_cast<int64_t>(k) & 3);
  // Work on |r|; the sign is a multiplication, not a branch the processor would mispredict.
  ParaOut.mNegativeR = std::signbit(rHigh) ? 1 : 0;
  const double signR = std::copysign(1.0, rHigh);
  rHigh *= signR;
  rLow *= signR;
  const int j = static_cast<int>(rHigh * 256 + 0.5);
  ParaOut.mRow = kTable[j];
  // Exact: rHigh and j/256 share their units and lie within 2^-9 of each other.
  const double tHigh = rHigh - j * 0x1p-8;
  const double tLow = rLow;
  const double z = tHigh * tHigh + 2 * tHigh * tLow;
  ParaOut.mTHigh = tHigh;
  ParaOut.mTLow = tLow;
  ParaOut.mSinPoly = z * (kS3 + z * (kS5 + z * (kS7 + z * kS9)));
  ParaOut.mCosPoly = z * (kC2 + z * (kC4 + z * (kC6 + z * kC8)));
}

// Whether the fast evaluation decides the rounding of sin r (ParaCosineOfR 0) or cos r (1);
// if so, ParaMagnitude is the rounded value. With p = sin a, q = cos a for sin r and
// p = cos a, q = -sin a for cos r, the value is p (1 + cosPoly) + q (t + t sinPoly).
inline bool RoundFast(const TFastReduction& ParaReduction, int ParaCosineOfR,
                      double& ParaMagnitude) {
  constexpr double kQSigns[2] = {1.0, -1.0};
  const double* row = ParaReduction.mRow;
  const double pHigh = row[2 * ParaCosineOfR];
  const double pLow = row[2 * ParaCosineOfR + 1];
  const double qHigh = kQSigns[ParaCosineOfR] * row[2 - 2 * ParaCosineOfR];
  const double qLow = kQSigns[ParaCosineOfR] * row[3 - 2 * ParaCosineOfR];
  const double tHigh = ParaReduction.mTHigh;
  double product, productError, sum, sumError;
  TwoProduct(qHigh, tHigh, product, productError);
  TwoSum(pHigh, product, sum, sumError);
  const double rest = pLow + qLow * tHigh + qHigh * ParaReduction.mTLow + sumError + productError +
                      qHigh * (tHigh * ParaReduction.mSinPoly) + pHigh * ParaReduction.mCosPoly;
  double high, low;
  FastTwoSum(sum, rest, high, low);
  // sin and cos have slopes of at most 1, so the reduction error enters unscaled. The bound is
  // generous enough to cover the rounding of low +- bound as well.
  const double bound = kFastRelativeBound * high + kReductionBoundPerK * ParaReduction.mK;
  const double up = high + (low + bound);
  const double down = high + (low - bound);
  ParaMagnitude = up;
  return up == down;
}

// NaN for NaN and the infinities, and the arguments too small to need any work; false when
// the argument needs the fast or the long path.
inline bool EvaluateTrivial(double ParaX, double ParaAbsX, int ParaCosine, double& ParaResult) {
  if (!(ParaAbsX <= 0x1.fffffffffffffp1023)) {
    ParaResult = ParaX - ParaX;
    return true;
  }
  // Below these the Taylor series' second term is under half an ulp: sin x rounds to x
  // (keeping the sign of zero), cos x to 1.
  if (ParaCosine == 0 && ParaAbsX < 0x1p-26) {
    ParaResult = ParaX;
    return true;
  }
  if (ParaCosine == 1 && ParaAbsX < 0x1p-27) {
    ParaResult = 1.0;
    return true;
  }
  return false;
}

double Evaluate(double ParaX, int ParaCosine) {
  const double absX = std::fabs(ParaX);
  const int negativeX = std::signbit(ParaX) ? 1 : 0;
  double result;
  if (EvaluateTrivial(ParaX, absX, ParaCosine, result)) {
    return result;
  }
  if (absX < kFastLimit) {
    TFastReduction reduction;
    ReduceFast(absX, reduction);
    if (RoundFast(reduction, UsesCosineOfR(ParaCosine, reduction.mQuadrant), result)) {
      return SignOf(ParaCosine, reduction.mQuadrant, reduction.mNegativeR, negativeX) * result;
    }
  }
  return EvaluateLong(absX, ParaCosine, negativeX);
}

} // namespace

double CorrectlyRoundedSine(double ParaX) {
  return Evaluate(ParaX, false);
}

double CorrectlyRoundedCosine(double ParaX) {
  return Evaluate(ParaX, true);
}

void CorrectlyRoundedSineCosine(double ParaX, double& ParaSine, double& ParaCosine) {
  const double absX = std::fabs(ParaX);
  if (absX < 0x1p-27 || !(absX < kFastLimit)) {
    ParaSine = Evaluate(ParaX, 0);
    ParaCosine = Evaluate(ParaX, 1);
    return;
  }
  // One reduction serves both, and the two evaluations overlap.
  const int negativeX = std::signbit(ParaX) ? 1 : 0;
  TFastReduction reduction;
  ReduceFast(absX, reduction);
  double ofR[2]; // sin r, cos r
  const bool sineDecided = RoundFast(reduction, 0, ofR[0]);
  const bool cosineDecided = RoundFast(reduction, 1, ofR[1]);
  const int quadrant = reduction.mQuadrant;
  const int sineUsesCosine = UsesCosineOfR(0, quadrant);
  ParaSine = (sineUsesCosine != 0 ? cosineDecided : sineDecided)
                 ? SignOf(0, quadrant, reduction.mNegativeR, negativeX) * ofR[sineUsesCosine]
                 : EvaluateLong(absX, 0, negativeX);
  ParaCosine = (sineUsesCosine != 0 ? sineDecided : cosineDecided)
                   ? SignOf(1, quadrant, reduction.mNegativeR, negativeX) * ofR[sineUsesCosine ^ 1]
                   : EvaluateLong(absX, 1, negativeX);
}

namespace trigonometry_internal {

double LongSine(double ParaX) {
  const double absX = std::fabs(ParaX);
  if (!(absX <= 0x1.fffffffffffffp1023) || absX < 0x1p-26) {
    return Evaluate(ParaX, 0);
  }
  return EvaluateLong(absX, 0, std::signbit(ParaX) ? 1 : 0);
}

double LongCosine(double ParaX) {
  const double absX = std::fabs(ParaX);
  if (!(absX <= 0x1.fffffffffffffp1023) || absX < 0x1p-27) {
    return Evaluate(ParaX, 1);
  }
  return EvaluateLong(absX, 1, std::signbit(ParaX) ? 1 : 0);
}

} // namespace trigonometry_internal
