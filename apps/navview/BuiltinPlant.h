#pragma once
// navview's built-in scene: a process plant of units on a square grid, each with a slab,
// tanks, a column, pumps, a pipe rack with its posts, pipes and valves, and small vessels,
// every one a named model (a placed bag over a leaf). The same size gives the same plant.
class NavviewScene;
class KIV3DCustomRep;

class BuiltinPlant {
 public:
  /// Models per unit, to size a plant: units × ModelsPerUnit() models.
  static int ModelsPerUnit();
  /// Builds unitsPerSide × unitsPerSide units under the scene's root; returns the models added.
  static int Build(NavviewScene& scene, int unitsPerSide);
  /// A box of half sizes (hx, hy, hz) centred on the origin, with flat normals.
  static void AddBox(KIV3DCustomRep& leaf, float hx, float hy, float hz);
  /// A closed cylinder along local z from 0 to height, with smooth sides and flat caps.
  static void AddCylinder(KIV3DCustomRep& leaf, float radius, float height, int segments);
};
