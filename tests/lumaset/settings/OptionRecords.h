// Option records for table-driven tests: every field moved off its default, and a field-by-field
// comparison that names the settings key of a field that differs.
#pragma once

#include "settings/OptionFields.h"

#include <gtest/gtest.h>

#include <span>

// `Options` with each field of the table moved off its default to a value of its own that the
// dialog's "%g" and the settings file's "%f" both show exactly.
template <class Options> Options changedOptions(std::span<const OptionField<Options>> fields) {
    Options options;
    float next = 2.5f;
    for (const OptionField<Options>& field : fields) {
        switch (field.kind) {
        case OptionKind::choice:
            options.*field.number = (options.*field.number + 2) % 3;
            break;
        case OptionKind::checkBox:
            options.*field.flag = !(options.*field.flag);
            break;
        case OptionKind::wholeNumber:
            options.*field.number += 17;
            break;
        case OptionKind::triple:
            for (int axis = 0; axis < 3; ++axis) {
                (options.*field.axes)[axis] = axis == 1 ? -next : next;
                next += 1.125f;
            }
            break;
        }
    }
    return options;
}

template <class Options>
void expectSameFields(std::span<const OptionField<Options>> fields, const Options& expected,
                      const Options& actual) {
    for (const OptionField<Options>& field : fields) {
        switch (field.kind) {
        case OptionKind::choice:
        case OptionKind::wholeNumber:
            EXPECT_EQ(actual.*field.number, expected.*field.number) << field.keys[0];
            break;
        case OptionKind::checkBox:
            EXPECT_EQ(actual.*field.flag, expected.*field.flag) << field.keys[0];
            break;
        case OptionKind::triple:
            for (int axis = 0; axis < 3; ++axis)
                EXPECT_EQ((actual.*field.axes)[axis], (expected.*field.axes)[axis])
                    << field.keys[axis];
            break;
        }
    }
}
