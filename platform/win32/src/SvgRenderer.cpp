#include "headless/SvgRenderer.h"

#include "WindowSystem.h"

#include <cstdio>
#include <fstream>

namespace headless {
namespace {

using win32::Window;

const char kFace[] = "#d4d0c8"; // the classic 3-D face colour
const char kShadow[] = "#808080";
const char kHighlight[] = "#ffffff";
const char kDarkShadow[] = "#404040";
const char kSelection[] = "#0a246a";
const char kFont[] = "font-family=\"Tahoma, 'MS Shell Dlg', sans-serif\" font-size=\"11\"";

std::string escaped(const std::string& text) {
    std::string out;
    for (char character : text) {
        switch (character) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            // Control characters are not allowed in SVG text.
            if (static_cast<unsigned char>(character) >= 0x20) out += character;
        }
    }
    return out;
}

class Canvas {
public:
    std::string out;
    int clipCount = 0; // clip paths need ids unique within one picture

    void rect(long x, long y, long width, long height, const char* fill,
              const char* stroke = nullptr) {
        char buffer[256];
        std::snprintf(buffer, sizeof buffer,
                      "<rect x=\"%ld\" y=\"%ld\" width=\"%ld\" height=\"%ld\" fill=\"%s\"", x, y,
                      width, height, fill);
        out += buffer;
        if (stroke) out += std::string(" stroke=\"") + stroke + "\" shape-rendering=\"crispEdges\"";
        out += "/>\n";
    }
    void line(double x1, double y1, double x2, double y2, const char* stroke) {
        char buffer[200];
        std::snprintf(buffer, sizeof buffer,
                      "<line x1=\"%g\" y1=\"%g\" x2=\"%g\" y2=\"%g\" stroke=\"%s\" "
                      "shape-rendering=\"crispEdges\"/>\n",
                      x1, y1, x2, y2, stroke);
        out += buffer;
    }
    // A raised (or sunken) 3-D edge just inside the rectangle.
    void edge(long x, long y, long width, long height, bool raised) {
        const char* light = raised ? kHighlight : kShadow;
        const char* dark = raised ? kDarkShadow : kHighlight;
        double left = x + 0.5, top = y + 0.5, right = x + width - 0.5, bottom = y + height - 0.5;
        line(left, top, right, top, light);
        line(left, top, left, bottom, light);
        line(left, bottom, right, bottom, dark);
        line(right, top, right, bottom, dark);
    }
    void text(long x, long y, const std::string& content, const char* fill = "#000000",
              const char* anchor = "start", bool bold = false) {
        if (content.empty()) return;
        char buffer[160];
        std::snprintf(buffer, sizeof buffer,
                      "<text x=\"%ld\" y=\"%ld\" fill=\"%s\" text-anchor=\"%s\"%s>", x, y, fill,
                      anchor, bold ? " font-weight=\"bold\"" : "");
        out += buffer;
        out += escaped(content);
        out += "</text>\n";
    }
    void raw(const std::string& element) { out += element + "\n"; }
};

// Text baseline for a line of the 8 point font centred in a box of this height.
long baseline(long top, long height) {
    return top + (height + 8) / 2;
}

void drawButton(Canvas& canvas, const Window& button, long x, long y) {
    long width = button.rect.right - button.rect.left;
    long height = button.rect.bottom - button.rect.top;
    const char* ink = button.isEnabled() ? "#000000" : kShadow;
    DWORD type = button.style & BS_TYPEMASK;
    switch (type) {
    case BS_GROUPBOX: {
        long frameTop = y + 6;
        canvas.rect(x, frameTop, width - 1, height - 7, "none", kShadow);
        canvas.rect(x + 1, frameTop + 1, width - 1, height - 7, "none", kHighlight);
        long labelWidth = win32::textWidthPixels(button.text);
        if (labelWidth > 0) canvas.rect(x + 6, y, labelWidth + 4, 12, kFace);
        canvas.text(x + 8, y + 10, button.text, ink);
        return;
    }
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE: {
        long boxTop = y + (height - 13) / 2;
        canvas.rect(x, boxTop, 13, 13, button.isEnabled() ? "#ffffff" : kFace);
        canvas.edge(x, boxTop, 13, 13, false);
        if (button.checkState == BST_CHECKED) {
            char mark[200];
            std::snprintf(
                mark, sizeof mark,
                "<path d=\"M%ld %ld l2 2 l5 -5\" fill=\"none\" stroke=\"%s\" stroke-width=\"2\"/>",
                x + 3, boxTop + 6, ink);
            canvas.raw(mark);
        } else if (button.checkState == BST_INDETERMINATE) {
            canvas.rect(x + 3, boxTop + 3, 7, 7, kShadow);
        }
        canvas.text(x + 17, baseline(y, height), button.text, ink);
        return;
    }
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: {
        long centreY = y + height / 2;
        char circle[300];
        std::snprintf(circle, sizeof circle,
                      "<circle cx=\"%ld\" cy=\"%ld\" r=\"5.5\" fill=\"%s\" stroke=\"%s\"/>", x + 6,
                      centreY, button.isEnabled() ? "#ffffff" : kFace, kShadow);
        canvas.raw(circle);
        if (button.checkState == BST_CHECKED) {
            std::snprintf(circle, sizeof circle,
                          "<circle cx=\"%ld\" cy=\"%ld\" r=\"2.5\" fill=\"%s\"/>", x + 6, centreY,
                          ink);
            canvas.raw(circle);
        }
        canvas.text(x + 17, baseline(y, height), button.text, ink);
        return;
    }
    default: {
        bool isDefault = type == BS_DEFPUSHBUTTON;
        canvas.rect(x, y, width, height, kFace);
        if (isDefault) canvas.rect(x, y, width - 1, height - 1, "none", "#000000");
        long inset = isDefault ? 1 : 0;
        canvas.edge(x + inset, y + inset, width - 2 * inset, height - 2 * inset, !button.isPushed);
        canvas.text(x + width / 2, baseline(y, height), button.text, ink, "middle");
        return;
    }
    }
}

void drawEdit(Canvas& canvas, const Window& edit, long x, long y) {
    long width = edit.rect.right - edit.rect.left;
    long height = edit.rect.bottom - edit.rect.top;
    bool editable = edit.isEnabled() && !(edit.style & ES_READONLY);
    canvas.rect(x, y, width, height, editable ? "#ffffff" : kFace);
    if (edit.style & WS_BORDER) canvas.edge(x, y, width, height, false);
    canvas.text(x + 3, baseline(y, height),
                (edit.style & ES_PASSWORD) ? std::string(edit.text.size(), '*') : edit.text,
                edit.isEnabled() ? "#000000" : kShadow);
}

void drawLabel(Canvas& canvas, const Window& label, long x, long y) {
    long width = label.rect.right - label.rect.left;
    DWORD alignment = label.style & 0x3;
    const char* anchor = alignment == SS_CENTER  ? "middle"
                         : alignment == SS_RIGHT ? "end"
                                                 : "start";
    long textX = alignment == SS_CENTER ? x + width / 2 : alignment == SS_RIGHT ? x + width : x;
    canvas.text(textX, y + 10, label.text, label.isEnabled() ? "#000000" : kShadow, anchor);
}

void drawListView(Canvas& canvas, const Window& list, long x, long y) {
    long width = list.rect.right - list.rect.left;
    long height = list.rect.bottom - list.rect.top;
    canvas.rect(x, y, width, height, "#ffffff");
    if (list.style & WS_BORDER) canvas.edge(x, y, width, height, false);
    long innerX = x + list.frame.left;
    long innerY = y + list.frame.top;
    long innerWidth = list.clientWidth();
    long innerHeight = list.clientHeight();
    char clip[200];
    int clipId = ++canvas.clipCount;
    std::snprintf(clip, sizeof clip,
                  "<clipPath id=\"list%d\"><rect x=\"%ld\" y=\"%ld\" width=\"%ld\" "
                  "height=\"%ld\"/></clipPath><g "
                  "clip-path=\"url(#list%d)\">",
                  clipId, innerX, innerY, innerWidth, innerHeight, clipId);
    canvas.raw(clip);
    const win32::ListViewState& state = *list.listView;
    bool fullRow = (state.extendedStyle & LVS_EX_FULLROWSELECT) != 0;
    long columnX = innerX;
    if (!(list.style & LVS_NOCOLUMNHEADER)) {
        for (const win32::ListViewColumn& column : state.columns) {
            canvas.rect(columnX, innerY, column.widthPixels, win32::kListHeaderHeight, kFace);
            canvas.edge(columnX, innerY, column.widthPixels, win32::kListHeaderHeight, true);
            canvas.text(columnX + 6, baseline(innerY, win32::kListHeaderHeight), column.text);
            columnX += column.widthPixels;
        }
        if (columnX < innerX + innerWidth) {
            canvas.rect(columnX, innerY, innerX + innerWidth - columnX, win32::kListHeaderHeight,
                        kFace);
            canvas.edge(columnX, innerY, innerX + innerWidth - columnX, win32::kListHeaderHeight,
                        true);
        }
    }
    long rowY = innerY + win32::kListHeaderHeight;
    for (const win32::ListViewItem& item : state.items) {
        bool selected = (item.state & LVIS_SELECTED) != 0;
        columnX = innerX;
        for (std::size_t index = 0; index < state.columns.size(); ++index) {
            const win32::ListViewColumn& column = state.columns[index];
            bool highlighted = selected && (fullRow || index == 0);
            if (highlighted)
                canvas.rect(columnX, rowY, column.widthPixels, win32::kListRowHeight, kSelection);
            std::size_t subItem = static_cast<std::size_t>(column.subItem);
            const std::string text =
                subItem < item.texts.size() ? item.texts[subItem] : std::string();
            canvas.text(columnX + 6, baseline(rowY, win32::kListRowHeight), text,
                        highlighted ? "#ffffff" : "#000000");
            columnX += column.widthPixels;
        }
        rowY += win32::kListRowHeight;
    }
    canvas.raw("</g>");
}

void drawChildren(Canvas& canvas, const Window& parent, long originX, long originY) {
    for (HWND handle : parent.children) {
        const Window* child = win32::findWindow(handle);
        if (!child || !child->isVisible()) continue;
        long x = originX + child->rect.left;
        long y = originY + child->rect.top;
        if (win32::hasClass(*child, "Button"))
            drawButton(canvas, *child, x, y);
        else if (win32::hasClass(*child, "Edit"))
            drawEdit(canvas, *child, x, y);
        else if (win32::hasClass(*child, "Static"))
            drawLabel(canvas, *child, x, y);
        else if (child->listView)
            drawListView(canvas, *child, x, y);
        else
            canvas.rect(x, y, child->rect.right - child->rect.left,
                        child->rect.bottom - child->rect.top, "none", kShadow);
        drawChildren(canvas, *child, x + child->frame.left, y + child->frame.top);
    }
}

} // namespace

std::string renderSvg(HWND handle) {
    const Window* window = win32::findWindow(handle);
    if (!window) return std::string();
    long width = window->rect.right - window->rect.left;
    long height = window->rect.bottom - window->rect.top;
    Canvas canvas;
    char head[300];
    std::snprintf(head, sizeof head,
                  "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%ld\" height=\"%ld\" "
                  "viewBox=\"0 0 %ld %ld\" %s>",
                  width, height, width, height, kFont);
    canvas.raw(head);
    canvas.rect(0, 0, width, height, kFace);
    if (window->frame.left > 1) {
        canvas.edge(0, 0, width, height, true);
        canvas.edge(1, 1, width - 2, height - 2, true);
    } else if (window->frame.left == 1) {
        canvas.rect(0, 0, width - 1, height - 1, "none", "#000000");
    }
    if ((window->style & WS_CAPTION) == WS_CAPTION) {
        long captionX = window->frame.left;
        long captionY = window->frame.left;
        long captionWidth = width - window->frame.left - window->frame.right;
        long captionHeight = window->frame.top - window->frame.left - 1;
        canvas.raw(
            "<defs><linearGradient id=\"caption\"><stop offset=\"0\" stop-color=\"#0a246a\"/>"
            "<stop offset=\"1\" stop-color=\"#a6caf0\"/></linearGradient></defs>");
        canvas.rect(captionX, captionY, captionWidth, captionHeight, "url(#caption)");
        canvas.text(captionX + 4, baseline(captionY, captionHeight), window->text, "#ffffff",
                    "start", true);
        if (window->style & WS_SYSMENU) {
            long boxX = captionX + captionWidth - 18;
            long boxY = captionY + 2;
            canvas.rect(boxX, boxY, 16, captionHeight - 4, kFace);
            canvas.edge(boxX, boxY, 16, captionHeight - 4, true);
            char cross[200];
            std::snprintf(
                cross, sizeof cross,
                "<path d=\"M%ld %ld l6 6 m0 -6 l-6 6\" stroke=\"#000000\" stroke-width=\"1.5\"/>",
                boxX + 5, boxY + (captionHeight - 4) / 2 - 3);
            canvas.raw(cross);
        }
    }
    bool plainWhite = !win32::isDialogWindow(*window) && window->windowClass->background != nullptr;
    if (plainWhite)
        canvas.rect(window->frame.left, window->frame.top, window->clientWidth(),
                    window->clientHeight(), "#ffffff");
    drawChildren(canvas, *window, window->frame.left, window->frame.top);
    canvas.raw("</svg>");
    return canvas.out;
}

bool writeSvg(HWND window, const std::string& fileName) {
    std::string svg = renderSvg(window);
    if (svg.empty()) return false;
    std::ofstream out(fileName, std::ios::binary);
    out << svg;
    return static_cast<bool>(out.flush());
}

} // namespace headless
