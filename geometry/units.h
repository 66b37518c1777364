#pragma once
// Conversions between centimetres, in which the tools compute geometry, and the user's linear unit (the
// answer of "currentUnit -q -l"). Units the tools do not know count as centimetres, and so does a failed
// query: nothing here fails or prints.

// Multiply a length in centimetres by this to get it in the user's unit.
float centimetresToUiUnitFactor();

// Multiply a length in the user's unit by this to get it in centimetres.
float uiUnitToCentimetresFactor();

// A length in centimetres expressed in the user's unit.
float centimetresToUiUnits(float value);
