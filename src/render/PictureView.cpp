#include "render/PictureView.h"

#include "doc/TabulonDoc.h"

void CPictureView::OnUpdate(int nHint) {
    CPuzzle* pPuzzle = m_doc.GetPuzzle();
    switch (nHint) {
    case 1:
        Rebuild();
        break;
    case 2:
        if (m_pRenderer && pPuzzle) {
            PaintCells();
            RedrawNow();
        }
        break;
    case 3:
        if (m_pRenderer) {
            m_pRenderer->Clear();
            if (pPuzzle && m_pRenderer->IsLaidOut()) {
                m_pRenderer->DrawAll(*pPuzzle);
                RedrawNow();
            }
        }
        break;
    default:
        break; // the picture stays as it is
    }
}

void CPictureView::Rebuild() {
    CPuzzle* pPuzzle = m_doc.GetPuzzle();
    m_pRenderer = std::make_unique<CGridRenderer>(m_doc.GetCellX(), m_doc.GetCellY(), CGridRenderer::ScreenDpiY(),
                                                  m_nMaxPictureBytes);
    m_doc.SetPicture(m_pRenderer.get());
    const bool bLaidOut = pPuzzle && m_pRenderer->Layout(*pPuzzle);
    if (pPuzzle && !bLaidOut)
        m_doc.ReportError("Cannot draw the puzzle: " + m_pRenderer->GetError() + ".");
    m_pRenderer->Clear();
    PictureRebuilt();
    if (bLaidOut)
        m_pRenderer->DrawAll(*pPuzzle);
    RedrawNow();
}

// Paints every cell as the grid holds it; a cell that shows its state
// already is left as it is (painting it again would put the same pixels
// there), so a progress update on a large grid costs what changed. A cell
// that became unknown again (a search's guess, undone when it stopped) is
// erased.
void CPictureView::PaintCells() {
    CPuzzle* pPuzzle = m_doc.GetPuzzle();
    if (!m_pRenderer || !pPuzzle || !m_pRenderer->IsLaidOut())
        return;
    const QRgb black = qRgb(0, 0, 0), white = qRgb(0xFF, 0xFF, 0xFF);
    for (int r = 0; r < pPuzzle->GetHeight(); ++r) {
        for (int c = 0; c < pPuzzle->GetWidth(); ++c) {
            const CellState state = pPuzzle->GetCell(r, c);
            if (m_pRenderer->Shows(r, c, state))
                continue;
            if (state == CELL_UNKNOWN)
                m_pRenderer->EraseCell(r, c);
            else if (state == CELL_EMPTY)
                m_pRenderer->PaintEmptyCell(r, c, black, white);
            else if (state == CELL_FILLED)
                m_pRenderer->PaintFilledCell(r, c, black, black);
        }
    }
}
