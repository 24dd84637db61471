#pragma once
#include <QList>
#include <QWidget>

class QLabel;
namespace Ui { class QToolBoxWidget; }

// A collapsible group: a header bar (arrow, bold title, reset button) that
// shows and hides the content below it.
class QToolBoxWidget : public QWidget
{
    Q_OBJECT
public:
    explicit QToolBoxWidget(QWidget* parent = nullptr, int style = 0);
    ~QToolBoxWidget() override;

    void setContent(const QString& title, QWidget* content, bool expanded);
    void expand();
    void collapse();
    void setCollapsible(bool on);
    void setActionEnabled(bool on);
    void addContentWidget(QWidget* widget);
    void setKey(const QString& key);

    bool isExpanded() const { return m_expanded; }
    bool isCollapsible() const { return m_collapsible; }
    QString key() const { return m_key; }
    // The resource path of the arrow currently shown.
    QString arrowIcon() const { return m_arrowIcon; }
    // Shown and hidden together with the content.
    void addExtraWidget(QWidget* widget);

signals:
    void actionTrigged(QString name);

private slots:
    void on_closureButn_clicked();
    void on_actionButn_clicked();

private:
    void init();
    void setArrow(const QString& path);

    Ui::QToolBoxWidget* ui;
    QLabel* m_arrowLabel = nullptr;
    QLabel* m_titleLabel = nullptr;
    bool m_expanded = false;
    bool m_collapsible = true;
    int m_style = 0;
    QString m_key;
    QString m_arrowIcon;
    QList<QWidget*> m_extraWidgets;
};
