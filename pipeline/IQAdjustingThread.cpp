#include "IQAdjustingThread.h"

#include "IQAdjustingProcessor.h"

IQAdjustingThread::IQAdjustingThread(IQAdjustingProcessor *processor_, QObject *parent)
    : QThread(parent), processor(processor_)
{
    setAutoDelete(true);
}

void IQAdjustingThread::run()
{
    QImage result;
    if (processor)
        result = processor->process();
    emit threadFinished(result);
}
