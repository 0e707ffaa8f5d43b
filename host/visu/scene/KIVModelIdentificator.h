#pragma once
// The identity that the application gives a rep of its model: an integer that stays the
// same for one model object whatever the scene tree looks like (0 when none was given).
class KIVModelIdentificator {
 public:
  constexpr KIVModelIdentificator() = default;
  constexpr explicit KIVModelIdentificator(int id) : mId(id) {}
  int GetIntId() const { return mId; }
  void SetIntId(int id) { mId = id; }
  bool operator==(const KIVModelIdentificator&) const = default;

 private:
  int mId = 0;
};
