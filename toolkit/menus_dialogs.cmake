# Sources and targets of this part of the toolkit are listed here.
