#pragma once
// Everything that alters what a viewer draws announces itself here: a rep's attributes,
// links, bounds or geometry (the source is the rep), a viewpoint's camera or contents (the
// source is the viewpoint). Viewers listen, and each one that shows the source schedules
// one coalesced repaint. Changes made while a frame is drawn (primitives fitted to the zoom,
// caches filled) belong to that frame and are not announced, so drawing never asks for
// another drawing.
#include <vector>

class KIVPictureChange {
 public:
  enum Kind { Scene = 0, Viewpoint = 1 };
  class Listener {
   public:
    /// `source` is a KIVRep (Scene, null when unknown) or a KIVViewpoint (Viewpoint).
    virtual void PictureChanged(const void* source, int kind) = 0;

   protected:
    ~Listener() = default;
  };
  static void AddListener(Listener* listener);
  static void RemoveListener(Listener* listener);
  static void Announce(const void* source, int kind);
  /// Brackets a frame: announcements are dropped inside.
  static void BeginDraw() { ++sDrawing; }
  static void EndDraw() {
    if (sDrawing > 0) --sDrawing;
  }
  /// Counts the announcements that reached the listeners.
  static unsigned long GetRevision() { return sRevision; }

 private:
  static inline std::vector<Listener*> sListeners;
  static inline int sDrawing = 0;
  static inline unsigned long sRevision = 0;
};
