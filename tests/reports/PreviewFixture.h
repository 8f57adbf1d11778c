#pragma once
// A prepared report built in code for the preview: pages of the template's
// paper, text objects at known places, one word found twice on the first
// page and once on the third, and a link object to page 2.

#include "reports/model/PreparedPages.h"
#include "reports/model/ReportComponent.h"
#include "reports/model/ReportViews.h"

#include <memory>
#include <vector>

namespace previewfixture {

inline std::unique_ptr<reports::MemoView> text(const QString &name, const QString &line, int left, int top,
                                              int width = 200, int height = 20, const QString &tag = {})
{
    auto memo = std::make_unique<reports::MemoView>();
    memo->Name = name;
    memo->SetBounds(left, top, width, height);
    memo->Memo = {line};
    memo->Tag = tag;
    return memo;
}

// Adds a prepared page of the template page holding the objects.
inline void addPage(reports::TfrEMFPages &pages, const reports::Page &templatePage,
                    std::vector<std::unique_ptr<reports::View>> objects)
{
    pages.Add(templatePage);
    const int index = pages.Count() - 1;
    pages.ObjectsToPage(index);
    for (auto &view : objects)
        pages[index].Page->Add(std::move(view));
    pages.PageToObjects(index);
}

// Page 1: "Межа участка" at (40, 100) and "межа соседа" at (40, 300), and the
// link "URL1" (tag "@2"); page 2: other text; page 3: "Граница, межа" at (60, 500).
inline void fillThreePages(reports::TfrReport &report)
{
    reports::Page page;
    std::vector<std::unique_ptr<reports::View>> first;
    first.push_back(text(QStringLiteral("Memo1"), QStringLiteral("Межа участка"), 40, 100));
    first.push_back(text(QStringLiteral("Memo2"), QStringLiteral("межа соседа"), 40, 300));
    first.push_back(text(QStringLiteral("URL1"), QStringLiteral("Далее"), 40, 600, 200, 20, QStringLiteral("@2")));
    addPage(*report.EMFPages, page, std::move(first));
    std::vector<std::unique_ptr<reports::View>> second;
    second.push_back(text(QStringLiteral("Memo3"), QStringLiteral("Кадастровый номер"), 40, 100));
    addPage(*report.EMFPages, page, std::move(second));
    std::vector<std::unique_ptr<reports::View>> third;
    third.push_back(text(QStringLiteral("Memo4"), QStringLiteral("Граница, межа"), 60, 500));
    addPage(*report.EMFPages, page, std::move(third));
}

} // namespace previewfixture
