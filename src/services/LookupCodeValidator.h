#pragma once

#include <QString>
#include <QValidator>

// Keeps a fixed beginning in a text box: the "L" of a new level code can be neither changed nor deleted,
// only followed by what the user types.
class LookupCodeValidator : public QValidator {
    Q_OBJECT
public:
    explicit LookupCodeValidator(const QString& protectedText, QObject* parent = nullptr);

    QString ProtectedText() const { return m_protected; }
    State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

private:
    QString m_protected;
};
