#pragma once

#include "doc/DocPorts.h"
#include "render/GridRenderer.h"

#include <memory>

class CTabulonDoc;

// Keeps the document's picture up to date through the update hints:
//   1  a new renderer with the document's cell size, laid out and drawn
//      (grid and clues, no cells)
//   2  every known cell painted
//   3  cleared to grid and clues
// The grid view of the desktop shows it in a window; the command line uses
// it alone to write "Save ALL as BMP".
class CPictureView : public IDocView {
  public:
    explicit CPictureView(CTabulonDoc& doc) : m_doc(doc) {}

    void OnUpdate(int nHint) override;
    void PaintCells();
    CGridRenderer* GetRenderer() const { return m_pRenderer.get(); }
    // The largest picture the next rebuild draws, in bytes.
    void SetMaxPictureBytes(int64_t nMaxBytes) { m_nMaxPictureBytes = nMaxBytes; }

  protected:
    // The picture changed and should be on screen before OnUpdate returns.
    virtual void RedrawNow() {}
    // A new renderer was made (and laid out, when there is a puzzle).
    virtual void PictureRebuilt() {}

    CTabulonDoc& m_doc;

  private:
    void Rebuild();

    std::unique_ptr<CGridRenderer> m_pRenderer;
    int64_t m_nMaxPictureBytes = CGridRenderer::kDefaultMaxBytes;
};
