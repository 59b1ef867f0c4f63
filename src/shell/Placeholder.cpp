namespace hw { void shellPlaceholder() {} }
