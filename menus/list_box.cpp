#include "menus/list_box.h"

#include <GL/gl.h>

#include "menus/panel.h"
#include "platform/platform.h"
#include "render/stroke_text.h"
#include "resources/ini_file.h"

void ListBox::loadItems(const IniFile& ini, int sectionIndex) {
    int limit = 100;
    if (ini.findEntry(sectionIndex, "MaxItems") != nullptr) {
        limit = ini.getInt(sectionIndex, "MaxItems", 100);
        if (limit > maxItemsLimit) {
            limit = maxItemsLimit;
        }
    }
    for (int n = 0; n < limit; ++n) {
        const std::string number = std::to_string(n);
        const std::string text = ini.getString(sectionIndex, "item" + number, "");
        const std::string value = ini.getString(sectionIndex, "value" + number, "");
        if (text.empty() && value.empty()) {
            break;
        }
        addItem(text, value);
    }
}

void ListBox::addItem(const std::string& text, const std::string& value) {
    items_.push_back(text);
    values_.push_back(value);
}

std::string ListBox::selectedValue() const {
    if (selected >= 0 && static_cast<std::size_t>(selected) < values_.size()) {
        return values_[static_cast<std::size_t>(selected)];
    }
    return std::string();
}

void ListBox::selectByValue(const std::string& value) {
    for (std::size_t i = 0; i < values_.size(); ++i) {
        if (platform::namesEqualIgnoringCase(values_[i], value)) {
            selected = static_cast<std::int32_t>(i);
            return;
        }
    }
}

void ListBox::selectAt(double x, double y) {
    // A list whose rows have no height (or a nonsense one from its file) selects nothing.
    if (x < Left + itemGap || x > Right - itemGap || y < Top + itemGap || !(itemHeight > 0.0f)) {
        return;
    }
    // No test against the bottom edge: a row below the drawn ones can still be picked.
    const double position = ((y - Top) - itemGap / 2.0) / itemHeight;
    if (!(position >= 0.0) || position >= static_cast<double>(items_.size())) {
        return;
    }
    selected = static_cast<std::int32_t>(position);
}

void ListBox::mouseButtonPressed(double x, double y, std::int32_t) {
    selectAt(x, y);
    mouseDown = 1;
}

void ListBox::mouseButtonReleased(double x, double y, std::int32_t) {
    selectAt(x, y);
    mouseDown = 0;
}

void ListBox::mouseOver(double x, double y) {
    if (mouseDown != 0) {
        selectAt(x, y);
    }
}

std::size_t ListBox::drawnRows() const {
    std::size_t rows = 0;
    while (rows < items_.size() &&
           (static_cast<double>(rows) + 1.0) * itemHeight + itemGap + Top <= Bottom) {
        ++rows;
    }
    return rows;
}

PlacedText ListBox::rowText(std::size_t i) const {
    const double rowTop = Top + itemGap + static_cast<double>(i) * itemHeight;
    const double rowBottom = Top + (static_cast<double>(i) + 1.0) * itemHeight;
    const double textLeft = Left + itemGap + textGap;
    const double textRight = Right - itemGap - textGap;
    const double h = (rowBottom - rowTop) * 0.55;
    // The text is cut where it would run past the row, never shrunk.
    const std::string& text = items_[i];
    std::size_t fits = 0;
    double width = 0.0;
    while (fits < text.size()) {
        width += strokeCharacterWidth(static_cast<unsigned char>(text[fits])) * h * 0.01;
        if (width > textRight - textLeft) {
            break;
        }
        ++fits;
    }
    return {text.substr(0, fits),
            textLeft,
            rowBottom - h / 2.0,
            h,
            textLeft,
            rowTop,
            textRight,
            rowBottom};
}

std::vector<PlacedText> ListBox::placedTexts() const {
    const std::size_t count = drawnRows();
    std::vector<PlacedText> rows;
    rows.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        rows.push_back(rowText(i));
    }
    return rows;
}

void ListBox::draw() {
    glDisable(GL_TEXTURE_2D);
    if (enabled) {
        glColor4fv(colour.data());
    } else {
        glColor4f(0.5f, 0.5f, 0.5f, colour[3]);
    }
    drawRectangle(Left, Top, Right, Bottom);

    const std::size_t rows = drawnRows();
    for (std::size_t i = 0; i < rows; ++i) {
        const PlacedText row = rowText(i);
        if (!enabled) {
            glColor4f((textColour[0] + 1.0f) / 2.0f, (textColour[1] + 1.0f) / 2.0f,
                      (textColour[2] + 1.0f) / 2.0f, 1.0f);
        } else if (static_cast<std::int32_t>(i) == selected) {
            glColor4f(1.0f - colour[0], 1.0f - colour[1], 1.0f - colour[2], colour[3]);
            drawRectangle(Left + itemGap, row.boxTop, Right - itemGap, row.boxBottom);
            glColor4f(1.0f - textColour[0], 1.0f - textColour[1], 1.0f - textColour[2], 1.0f);
        } else {
            glColor4f(textColour[0], textColour[1], textColour[2], 1.0f);
        }
        drawStrokeText(row.text, row.x, row.baseline, row.h);
    }
    glEnable(GL_TEXTURE_2D);
}

void ListBox::readSection(const IniFile& ini, int section) {
    itemHeight = static_cast<float>(ini.getFloat(section, "itemHeight", 0.05));
    itemGap = static_cast<float>(ini.getFloat(section, "itemGap", 0.002));
    textGap = static_cast<float>(ini.getFloat(section, "textGap", 0.001));
    loadItems(ini, section);
}
