#pragma once
// The RTF export: the text export's lines written as paragraphs with tab
// stops or as table rows, with font, size, style and colour per piece, and
// the pictures of picture objects as positioned frames holding a metafile
// that draws the bitmap.

#include "reports/export/TextExport.h"

#include <QByteArray>

namespace reports {

class TfrRTFExport : public TfrTextExport {
public:
    // Registered as the RTF filter.
    TfrRTFExport();
    ~TfrRTFExport() override;

    bool ExportBitmaps = false;
    bool ConvertToTable = false;

    int ShowModal() override;
    void OnBeginDoc() override;
    void OnData(int x, int y, View *view) override;
    void OnEndPage() override;
    void OnEndDoc() override;

    // Report units to twips at the export's scale.
    int twips(double x) const;
    // A text as RTF: "\", "{" and "}" escaped, the Windows code page's
    // letters as \'hh, anything else as \uN?.
    static QByteArray escape(const QString &text);
    // The metafile that draws a bitmap file, as the RTF's hexadecimal lines;
    // empty when the bytes are no bitmap file.
    static QByteArray metafileHex(const QByteArray &bmpFile, int pictureWidth, int pictureHeight);

private:
    struct Picture {
        int x, y, w, h, pw, ph;
        QByteArray bmp;
    };
    int fontIndex(const QString &name);
    int colorIndex(std::uint32_t color);

    bool registered_ = false;
    bool pageWritten_ = false;
    QStringList fonts_;
    std::vector<std::uint32_t> colors_;
    std::vector<Picture> pictures_;
    QByteArray body_;
};

} // namespace reports
