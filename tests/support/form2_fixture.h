#pragma once

#include "card/module1.h"
#include "editor/form2.h"
#include "support/scripted_prompts.h"
#include "widgets/picture_box.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>

#include <memory>

// A main window on the built card parts, with scripted prompts and its timer stopped so the
// test decides when a tick happens.
struct Form2Fixture {
    ScriptedPrompts prompts;
    int endCalls = 0;
    std::unique_ptr<Form2> form;

    explicit Form2Fixture(const QString& assetRoot = qEnvironmentVariable("ORVANE_BIN_DIR"))
    {
        Form2::Services services;
        services.prompts = &prompts;
        services.assetRoot = assetRoot;
        services.endProcess = [this] { ++endCalls; };
        services.imageUtilsPath =
            qEnvironmentVariable("ORVANE_BIN_DIR") + QStringLiteral("/libImageUtils.so");
        form = std::make_unique<Form2>(services);
        form->Timer1->stop();
    }
    Form2* operator->() const { return form.get(); }

    void tick() { form->Timer1_Timer(); }
    void type(int box, const QString& text) { form->txtNums[size_t(box)]->setText(text); }
    void typeAll(const char* a, const char* b, const char* c, const char* d)
    {
        type(0, QLatin1String(a));
        type(1, QLatin1String(b));
        type(2, QLatin1String(c));
        type(3, QLatin1String(d));
    }
    // A click on the check box, as the user makes it.
    void clickArrow(int i) { form->chkArrow[size_t(i)]->click(); }
    int ticked() const
    {
        int n = 0;
        for (QCheckBox* box : form->chkArrow)
            n += box->isChecked();
        return n;
    }
};
