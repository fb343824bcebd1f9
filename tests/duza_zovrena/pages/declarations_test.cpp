// Every page's declaration against the record it edits and against itself: what a page would
// otherwise only show at run time, as a missing control or a refused value.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "duza_zovrena/data/columns.h"
#include "duza_zovrena/data/general_rules.h"
#include "duza_zovrena/pages/code_field.h"
#include "duza_zovrena/pages/column_place.h"
#include "duza_zovrena/pages/page_list.h"
#include "duza_zovrena/pages/parameter_page.h"

namespace duza_zovrena::pages::testing {
namespace {

data::Record recordOf(const PageDeclaration& page) {
    return page.record == PageRecord::Document ? data::Record::Document : data::Record::General;
}

const ControlDef* controlOf(const PageDeclaration& page, std::string_view name) {
    for (const ControlDef& control : page.controls) {
        if (control.name == name) {
            return &control;
        }
    }
    return nullptr;
}

TEST(PageDeclarations, Side_bar_places_and_classes_are_unique) {
    std::set<std::string> classes;
    std::set<std::string_view> items;
    for (const PageDeclaration& page : pageList()) {
        EXPECT_TRUE(classes.insert(page.className).second) << page.className;
        EXPECT_TRUE(items.insert(page.item).second) << page.item;
        EXPECT_FALSE(page.group.empty() || page.title.empty()) << page.className;
        EXPECT_EQ(findPageByItem(page.item), &page);
        EXPECT_EQ(findPageByClass(page.className), &page);
    }
    EXPECT_EQ(pageList().size(), 17u);
}

// What building the page does not check: a missing frame, column, label, rule source or target,
// or a bound company key, raises in Every_page_builds_with_its_rules.
TEST(PageDeclarations, Controls_code_fields_and_lists_fit_the_record_and_the_page) {
    for (const PageDeclaration& page : pageList()) {
        SCOPED_TRACE(page.className);
        std::set<std::string_view> names;
        std::set<std::string_view> frames;
        std::set<std::string_view> columns;
        for (const FrameDef& frame : page.frames) {
            EXPECT_TRUE(frames.insert(frame.name).second) << frame.name;
        }
        bool bound = false;
        for (const ControlDef& control : page.controls) {
            EXPECT_TRUE(names.insert(control.name).second) << "twice: " << control.name;
            if (control.column.empty()) {
                continue;
            }
            bound = true;
            const data::ColumnDef* column = data::findColumn(recordOf(page), control.column);
            ASSERT_NE(column, nullptr) << control.name << ": " << control.column;
            EXPECT_TRUE(columns.insert(column->name).second) << "bound twice: " << column->name;
            // One page shows a column.
            auto place = columnPlace(recordOf(page), column->name);
            ASSERT_TRUE(place);
            EXPECT_EQ(place->page->className, page.className) << control.name;
        }
        for (const ComboRows& list : page.valueLists) {
            const ControlDef* combo = controlOf(page, list.combo);
            ASSERT_NE(combo, nullptr) << list.combo;
            const data::ColumnDef* column = data::findColumn(recordOf(page), combo->column);
            ASSERT_NE(column, nullptr) << list.combo;
            EXPECT_EQ(column->kind, data::ColumnKind::Indicator) << list.combo;
            for (const auto& [label, code] : list.rows) {
                auto number = krl::parseNumber(code.textOrEmpty());
                ASSERT_TRUE(number.has_value()) << list.combo << " " << label;
                EXPECT_TRUE(*number >= 0 && *number <= 32767 && *number == int(*number))
                    << list.combo << " " << label;
            }
        }
        for (const CodeFieldDef& field : page.codeFields) {
            const ControlDef* edit = controlOf(page, field.control);
            ASSERT_NE(edit, nullptr) << field.control;
            const data::ColumnDef* column = data::findColumn(recordOf(page), edit->column);
            ASSERT_NE(column, nullptr) << field.control;
            EXPECT_EQ(column->kind, codeKind(field.kind).column) << field.control;
        }
        for (const PatternRule& rule : page.patternRules) {
            EXPECT_TRUE(!rule.targets.empty() || rule.whenOn || rule.whenOff)
                << "a rule changes controls or the record: " << rule.source;
            for (const auto& write : {rule.whenOff, rule.whenOn}) {
                if (write) {
                    EXPECT_NE(data::findColumn(recordOf(page), write->column), nullptr)
                        << rule.source << " writes " << write->column;
                }
            }
        }
        for (const std::string& name : page.notRegistered) {
            EXPECT_NE(controlOf(page, name), nullptr) << name;
        }
        if (bound) {
            EXPECT_NE(controlOf(page, page.firstControl), nullptr) << page.firstControl;
        }
    }
}

// A refused save shows a page of the side bar and puts the focus on a control of that page.
TEST(PageDeclarations, Save_refusals_point_at_side_bar_pages_and_their_controls) {
    for (const data::SaveRoutine* routine : data::generalSaveRoutines()) {
        SCOPED_TRACE(std::string(routine->name));
        for (const data::SaveRule& rule : routine->rules) {
            if (rule.repair) {
                continue;
            }
            ASSERT_TRUE(rule.refuses) << rule.messageId;
            EXPECT_FALSE(rule.text.empty()) << rule.messageId;
            const PageDeclaration* page = findPageByItem(rule.item);
            ASSERT_NE(page, nullptr) << rule.messageId << " " << rule.item;
            EXPECT_EQ(page->group, rule.group) << rule.messageId;
            EXPECT_EQ(page->record, PageRecord::General) << rule.messageId;
            if (rule.focusControl.empty()) {
                continue;
            }
            EXPECT_EQ(page->className, rule.focusPage) << rule.messageId;
            const bool built = std::any_of(page->controls.begin(), page->controls.end(),
                                           [](const ControlDef& c) { return !c.column.empty(); });
            if (built) {
                EXPECT_NE(controlOf(*page, rule.focusControl), nullptr) << rule.focusControl;
            }
        }
    }
}

// Building the page connects its rules: a rule naming a control the page lacks, or of another
// kind, raises here.
TEST(PageDeclarations, Every_page_builds_with_its_rules) {
    for (const PageDeclaration& page : pageList()) {
        SCOPED_TRACE(page.className);
        std::shared_ptr<ParameterPage> built;
        EXPECT_NO_THROW(built = makePage(page));
        ASSERT_TRUE(built);
        EXPECT_EQ(built->className(), page.className);
        EXPECT_EQ(built->controls().size() - page.frames.size() - 1,
                  page.controls.size() + page.grids.size())
            << "each declared control built once, besides the frames and the resize control";
    }
}

}  // namespace
}  // namespace duza_zovrena::pages::testing
