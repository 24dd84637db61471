#pragma once
#include <QDoubleValidator>
#include <QIntValidator>

// An integer field that snaps anything out of range back to the bottom value.
class RSIntValidator : public QIntValidator
{
    Q_OBJECT
public:
    RSIntValidator(double bottom, double top, QObject* parent = nullptr);

    State validate(QString& text, int& pos) const override;
    void fixup(QString& text) const override;
};

// A decimal field with a bounded number of decimals.
class RSDoubleValidator : public QDoubleValidator
{
    Q_OBJECT
public:
    RSDoubleValidator(double bottom, double top, int decimals, QObject* parent = nullptr);

    State validate(QString& text, int& pos) const override;
};
