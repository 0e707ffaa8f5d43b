#pragma once
// What one import made: a tree of reps under a top bag named after the file, the names the
// file gave its nodes and meshes (reps carry none), and counts. The result owns every rep
// it made and deletes those still alive when it goes; each rep leaves its parents as it is
// deleted, so the top bag drops out of whatever bag the caller linked it under. A rep
// deleted by someone else first (the caller's root destroyed with KIV3DBagRep::Destroy)
// is noticed through its life token and not deleted twice.
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class KIVRep;
class KIV3DBagRep;

class KIVImportedScene {
 public:
  KIVImportedScene() = default;
  /// Deletes the reps it made that are still alive, children before parents.
  ~KIVImportedScene();
  KIVImportedScene(KIVImportedScene&& other) noexcept;
  /// Deletes what this result held, then takes the other's reps.
  KIVImportedScene& operator=(KIVImportedScene&& other) noexcept;
  KIVImportedScene(const KIVImportedScene&) = delete;
  KIVImportedScene& operator=(const KIVImportedScene&) = delete;

  /// The bag named after the file; null when the import failed or the bag is gone.
  KIV3DBagRep* GetTop() const;
  /// The name a rep made by this import has in the file ("" when the file gave none);
  /// null for any other rep.
  const char* GetName(const KIVRep* rep) const;
  /// The first rep made by this import with that name, parents before children; null
  /// when none (or for a null name).
  KIVRep* Find(const char* name) const;
  /// Every rep made that is still alive, parents before children.
  std::vector<KIVRep*> GetReps() const;
  /// Triangles held by the leaves; a leaf under several nodes counts once.
  long long GetTriangleCount() const { return mTriangles; }
  /// Leaves made: one per mesh of the file that some node uses.
  int GetModelCount() const { return mModels; }
  /// Points of the point clouds held by the leaves; a leaf under several nodes counts once.
  long long GetPointCount() const { return mPoints; }
  /// "" when the import succeeded, else one line naming the file and the reason.
  const char* GetError() const { return mError.c_str(); }
  /// "" or one line of what a successful import left out or could not honour (geometry
  /// with non-finite coordinates, textures not found, no geometry at all).
  const char* GetWarning() const { return mWarning.c_str(); }
  /// The file's up axis as read ("+z", "+y", "-x", ...): the top bag turns it to +z.
  const char* GetUpAxis() const { return mUpAxis; }

  /// For the importer: takes ownership of a rep made with new, with its name (null is
  /// ""); the first rep adopted is the top bag. A rep already held is ignored.
  void Adopt(KIVRep* rep, const char* name);
  /// For the importer: the counts of a finished tree.
  void SetCounts(long long triangles, int models, long long points = 0) {
    mTriangles = triangles, mModels = models, mPoints = points;
  }
  /// For the importer: adds a clause to the warning ("; " between clauses).
  void AddWarning(const std::string& text);
  /// For the importer: the up axis read, a sign and an axis letter.
  void SetUpAxis(char sign, char axis) { mUpAxis[0] = sign, mUpAxis[1] = axis; }
  /// Deletes every rep and keeps the reason (one line) as the error.
  void Fail(std::string error);

 private:
  void Clear();

  struct Entry {
    KIVRep* rep;
    std::weak_ptr<int> life;  // expires when the rep is deleted, by us or anyone
    std::string name;
  };
  const Entry* Lookup(const KIVRep* rep) const;
  std::vector<Entry> mEntries;  // in order of creation, parents before children
  std::unordered_map<const KIVRep*, size_t> mIndex;
  long long mTriangles = 0;
  int mModels = 0;
  long long mPoints = 0;
  std::string mError;
  std::string mWarning;
  char mUpAxis[3] = {'+', 'z', 0};
};
