#pragma once

// The model tables of the series in use: one array per catalogue field, indexed by model
// number m = 1 .. ModelCount in the order the catalogue returned the models (element 0 is
// never filled). Two-index arrays are X(k, m), k a speed, fan step or variant; the k
// values of one model lie side by side.
//
// Only the series loaders write the arrays. A loader re-dimensions (and clears) the
// arrays of its series; every other array keeps what an earlier series left in it, which
// is why one ModelTables object lives for the whole run. Reading outside an array's
// bounds, or with the wrong number of indices, is the subscript error 9, as is reading
// an array that no loader has dimensioned yet.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "data/store.h"
#include "engine/errors.h"

namespace vestra {

template <typename T>
class TableArray {
 public:
  // One index, 0 .. capacity, all elements cleared.
  void Redim(int capacity) { Shape(1, 0, capacity); }
  // Two indices, X(k, m) with k 0 .. kUpper and m 0 .. capacity, all cleared.
  void Redim(int kUpper, int capacity) { Shape(2, kUpper, capacity); }

  int Rank() const { return rank_; }
  int KUpper() const { return kUpper_; }
  int MUpper() const { return mUpper_; }

  const T& operator()(int m) const {
    if (rank_ != 1 || m < 0 || m > mUpper_) Raise(kSubscriptOutOfRange);
    return data_[static_cast<std::size_t>(m)];
  }
  const T& operator()(int k, int m) const {
    if (rank_ != 2 || k < 0 || k > kUpper_ || m < 0 || m > mUpper_) Raise(kSubscriptOutOfRange);
    return data_[Offset(k, m)];
  }

  // Loader side. A model index past the capacity grows the array (the catalogue may hold
  // more models than a series was first sized for); the k range never grows.
  void Store(int m, T value) {
    if (rank_ != 1 || m < 0) Raise(kSubscriptOutOfRange);
    GrowTo(m);
    data_[static_cast<std::size_t>(m)] = std::move(value);
  }
  void Store(int k, int m, T value) {
    if (rank_ != 2 || k < 0 || k > kUpper_ || m < 0) Raise(kSubscriptOutOfRange);
    GrowTo(m);
    data_[Offset(k, m)] = std::move(value);
  }

 private:
  std::size_t Offset(int k, int m) const {
    return static_cast<std::size_t>(m) * static_cast<std::size_t>(kUpper_ + 1) +
           static_cast<std::size_t>(k);
  }
  void Shape(int rank, int kUpper, int capacity) {
    rank_ = rank;
    kUpper_ = kUpper;
    mUpper_ = capacity;
    data_.assign(static_cast<std::size_t>(kUpper + 1) * static_cast<std::size_t>(capacity + 1),
                 T{});
  }
  void GrowTo(int m) {
    if (m <= mUpper_) return;
    mUpper_ = std::max(m, 2 * mUpper_ + 1);
    data_.resize(static_cast<std::size_t>(kUpper_ + 1) * static_cast<std::size_t>(mUpper_ + 1),
                 T{});
  }

  int rank_ = 0;  // 0 until first dimensioned
  int kUpper_ = 0;
  int mUpper_ = -1;
  std::vector<T> data_;
};

struct ModelTables {
  std::int16_t ModelCount = 0;

  TableArray<std::string> TabModello;
  TableArray<std::int16_t> TabGeom, TabPasso;        // coil geometry code 0..3, fin pitch code 0..8
  TableArray<float> TabLunBat, TabAltBat;            // coil length and height, mm
  TableArray<float> TabNR, TabNC;                    // rows, circuits
  TableArray<float> TabTubo;                         // tube inner diameter, m
  TableArray<float> TabQa1, TabQa2, TabQa3, TabQa4;  // air flow per speed (unit per series)
  TableArray<float> TabQa1C, TabQa2C, TabQa3C;       // heating air flows, m3/s
  TableArray<float> TabC100, TabCC30,
      TabFC30;  // (k, m): bypass, heating and cooling air coefficients
  TableArray<float> TabFCC50, TabCCC50, TabC50;  // header factors; Q70 friction coefficient
  TableArray<float> TabFX31, TabCX31;            // VELD air-side exponents
  TableArray<float> TabLWA, TabLPA;              // sound power / pressure, 1-D or (k, m)
  TableArray<float> TabPIN;                      // (k, m) absorbed power, W
  TableArray<float> TabVA, TabVB, TabVC;         // (k, m) fan curves, Pa against m3/h
  TableArray<float> TabPA, TabPB, TabPC;         // (k, m) power curves, W against m3/h
  TableArray<std::int16_t> TabG;                 // (k, m) nominal fan speed of a step, rpm
  TableArray<std::int32_t> TabMinQa;             // m3/h
  TableArray<std::int16_t> TabMaxQa;             // m3/h
  TableArray<float> TabKDB;
  TableArray<float> TabAK, TabBX, TabCY;                       // (k, m) UMBRA fan polynomials
  TableArray<float> TabAA, TabBB, TabCC;                       // (k, m) UMBRA power polynomials
  TableArray<float> TabAL;                                     // (k, m) UMBRA sound polynomial
  TableArray<float> TabSezione;                                // outlet free area, m2
  TableArray<std::int16_t> TabBocche, TabNlog;                 // outlet spigots; sound correction
  TableArray<float> TabPotNom, TabEspon, TabDPNom, TabDeltaL;  // DARNE radiator data
  // TORVAEC fan and sound polynomials, kept as read (number or Null).
  TableArray<FieldValue> TabVRA, TabVRB, TabVRC, TabQAA, TabQAB, TabQAC, TabPAK, TabPAN, TabLWB,
      TabLWC;
  TableArray<float> TabQA, TabPTN, TabY1;         // Q70 air flow (m3/s), rating data
  TableArray<std::string> TabAltezza, TabLancio;  // mounting height and throw

  // Accessory pressure losses of the ducted series, index 1 .. AccCount.
  std::int16_t AccCount = 0;
  TableArray<float> AccCost, AccEspo;
  TableArray<std::string> AccOPZBoc;
};

}  // namespace vestra
