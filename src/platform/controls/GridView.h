#pragma once

#include "platform/controls/Twips.h"

#include <QTableView>

class GridModel;

// Shows a GridModel the way the suite's report grid looks: the first fixed row
// as the column titles (kept in sight), fixed columns shaded, cell colours and
// fonts as the model says, column widths from the model (twips to pixels at 15
// per pixel). It reads the model; it keeps no copy of the cells.
class GridView : public QTableView
{
    Q_OBJECT
public:
    explicit GridView(GridModel* model, QWidget* parent = nullptr);

    GridModel* gridModel() const { return m_model; }
    // A column keeps at least one pixel, so a 10-twip column stays (barely) there.
    static int columnPixels(int twips)
    {
        return twips <= 0 ? 0 : std::max(1, pixelsFromTwips(twips));
    }

private:
    void applyWidths();

    GridModel* m_model;
};
