// Records drawing calls and rasterises the straight lines into a pixel map, the way GDI
// draws them (the end point of a LineTo is left unpainted).
#pragma once

#include "ui/PagePainting.h"

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

class RecordingPainting : public PaintingApi {
  public:
    std::map<int, ColorRef> sysColors = {
        {SysColor3dShadow, 0x808080}, {SysColor3dHilight, 0xFFFFFF}, {SysColor3dLight, 0xDFDFDF}};
    std::vector<std::string> calls;
    std::map<std::pair<int, int>, ColorRef> pixels;
    std::map<PenHandle, ColorRef> livePens;

    ColorRef GetSysColor(int index) override {
        calls.push_back("sys " + std::to_string(index));
        return sysColors[index];
    }
    PenHandle CreateSolidPen(ColorRef color) override {
        const PenHandle pen = nextPen_++;
        livePens[pen] = color;
        calls.push_back("pen " + std::to_string(pen));
        return pen;
    }
    PenHandle SelectPen(PenHandle pen) override {
        calls.push_back("select " + std::to_string(pen));
        const PenHandle previous = selected_;
        selected_ = pen;
        return previous;
    }
    void DeletePen(PenHandle pen) override {
        calls.push_back("delete " + std::to_string(pen));
        livePens.erase(pen);
    }
    void MoveTo(int x, int y) override {
        calls.push_back("move " + std::to_string(x) + "," + std::to_string(y));
        x_ = x;
        y_ = y;
    }
    void LineTo(int x, int y) override {
        calls.push_back("line " + std::to_string(x) + "," + std::to_string(y));
        const int dx = x > x_ ? 1 : x < x_ ? -1 : 0;
        const int dy = y > y_ ? 1 : y < y_ ? -1 : 0;
        for (int px = x_, py = y_; px != x || py != y; px += dx, py += dy)
            pixels[{px, py}] = livePens.count(selected_) ? livePens[selected_] : NoColor;
        x_ = x;
        y_ = y;
    }
    PenHandle Selected() const { return selected_; }

  private:
    PenHandle nextPen_ = 100;
    PenHandle selected_ = 1; // the DC's own pen
    int x_ = 0;
    int y_ = 0;
};

class RecordingTile : public BackdropTile {
  public:
    std::vector<std::string> calls;
    bool loaded = false;
    ColorRef high = NoColor;
    ColorRef low = 0;

    bool IsLoaded() const override { return loaded; }
    void Load() override {
        calls.push_back(high == NoColor ? "load" : "load recoloured " + Hex(high) + "/" + Hex(low));
        loaded = true;
    }
    void Release() override {
        calls.push_back("release");
        loaded = false;
    }
    void SetRamp(ColorRef h, ColorRef l) override {
        high = h;
        low = l;
    }
    void DrawTiled(int width, int height) override {
        calls.push_back("tile " + std::to_string(width) + "x" + std::to_string(height));
    }

  private:
    static std::string Hex(ColorRef color) {
        char text[16];
        std::snprintf(text, sizeof text, "%06X", color);
        return text;
    }
};
